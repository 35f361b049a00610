// CWinApp: the application object. One global instance per program; the
// framework's WinMain calls its InitInstance. It names the program, keeps
// the profile functions (settings under
// HKEY_CURRENT_USER\Software\<company>\<application name>\<section>) and is
// the last stop of command routing (Exit, Help).
#pragma once
#include <windows.h>

#include <vector>

#include "framework/String.h"
#include "framework/Wnd.h"

// A macro, as resource scripts (the menu's Exit item) use it too.
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 57665  // 0xE141
#endif
constexpr UINT ID_HELP = 57670;      // 0xE146

class CWinApp : public CCmdTarget {
public:
    // With no name, the application name is the executable's file name
    // without directory and extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // A message loop for programs whose InitInstance returns TRUE.
    virtual int Run();

    // Switches the profile functions to the registry under this company key.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // Profile functions. Reading creates the section's key when missing.
    // A missing value, or one of another registry type, gives the default.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);

    // While one lives, the profile functions keep each section's key open and
    // use it again: a run of reads (the bar loads about a hundred values as it
    // starts) opens each key once instead of once per value.
    class CProfileBatch {
    public:
        explicit CProfileBatch(CWinApp* pApp);
        ~CProfileBatch();
        CProfileBatch(const CProfileBatch&) = delete;
        CProfileBatch& operator=(const CProfileBatch&) = delete;

    private:
        CWinApp* m_pApp;
    };

    // Three-dimensional dialog controls are what the system draws anyway.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // The message box of the application: the caption is the application
    // name; MB_OK and MB_OKCANCEL boxes without an icon get the exclamation.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType);

    CString m_pszAppName;
    CString m_pszRegistryKey;
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

    void OnAppExit();
    // No help file ships with the program: the help command does nothing.
    void OnHelp() {}

protected:
    DECLARE_MESSAGE_MAP()

private:
    class CSectionKey;
    HKEY OpenSectionKey(LPCSTR lpszSection) const;

    struct BatchKey {
        CString section;
        HKEY hKey;
    };
    int m_nProfileBatch = 0;
    std::vector<BatchKey> m_batchKeys;  // open while m_nProfileBatch > 0
};

CWinApp* AfxGetApp();
CString AfxGetAppName();
// The application name for an executable's path: the file name without
// directory and extension.
CString AfxAppNameFromPath(LPCSTR lpszPath);
// The running executable's full path, however long.
CString AfxGetModulePath();
HINSTANCE AfxGetInstanceHandle();
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK);
// The framework's program entry: runs the application object.
int AfxWinMain(HINSTANCE hInstance);
