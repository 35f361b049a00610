#include "framework/WinApp.h"

#include "framework/RegKey.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace {
CWinApp* g_pApp = nullptr;  // the one application object

CString ExeBaseName() { return AfxAppNameFromPath(AfxGetModulePath()); }
}  // namespace

CString AfxGetModulePath()
{
    // A path longer than MAX_PATH (a long-path aware system) is read whole.
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD got = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return CString();
        if (got < path.size() - 1 || path.size() >= 0x10000) return CString(path.data(), static_cast<int>(got));
        path.resize(path.size() * 4);
    }
}

CString AfxAppNameFromPath(LPCSTR lpszPath)
{
    // Walk by character, not by byte: the second byte of a double-byte
    // character may be 0x5C ('\\'), as in 表 (95 5C).
    LPCSTR start = lpszPath;
    LPCSTR dot = nullptr;
    for (LPCSTR p = lpszPath; *p; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            start = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    return dot ? CString(start, static_cast<int>(dot - start)) : CString(start);
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_pszAppName = lpszAppName ? CString(lpszAppName) : ExeBaseName();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) { m_pszRegistryKey = lpszRegistryKey; }

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection) const
{
    if (m_pszRegistryKey.IsEmpty()) return nullptr;
    CString path;
    path.Format("Software\\%s\\%s\\%s", static_cast<LPCSTR>(m_pszRegistryKey),
                static_cast<LPCSTR>(m_pszAppName), lpszSection);
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &hKey, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    CRegKey key(OpenSectionKey(lpszSection));
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key || ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    CRegKey key(OpenSectionKey(lpszSection));
    DWORD type = 0, size = 0;
    if (!key || ::RegQueryValueExA(key, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return CString(lpszDefault);
    // The value may change size between the two calls, and a hand-made value
    // may lack its terminating zero: read into a buffer one byte larger.
    std::vector<char> buffer;
    LONG status;
    do {
        buffer.assign(size + 1, '\0');
        status = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS || type != REG_SZ) return CString(lpszDefault);
    buffer.resize(size + 1, '\0');
    return CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), size)));
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    CRegKey key(OpenSectionKey(lpszSection));
    const DWORD value = static_cast<DWORD>(nValue);
    return key && ::RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value)
                      == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    CRegKey key(OpenSectionKey(lpszSection));
    if (!key) return FALSE;
    if (!lpszValue) return ::RegDeleteValueA(key, lpszEntry) == ERROR_SUCCESS;
    return ::RegSetValueExA(key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                            static_cast<DWORD>(strlen(lpszValue) + 1)) == ERROR_SUCCESS;
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    HWND hOwner = nullptr;
    if (m_pMainWnd && m_pMainWnd->m_hWnd) hOwner = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    return ::MessageBoxA(hOwner, lpszPrompt, m_pszAppName, nType);
}

CWinApp* AfxGetApp() { return g_pApp; }

CString AfxGetAppName() { return g_pApp ? g_pApp->m_pszAppName : CString(); }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }

int AfxMessageBox(LPCSTR lpszText, UINT nType)
{
    if (g_pApp) return g_pApp->DoMessageBox(lpszText, nType);
    return ::MessageBoxA(nullptr, lpszText, nullptr, nType);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return 1;
    pApp->m_hInstance = hInstance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}

// Programs built on the framework start here (console test programs keep
// their own main).
extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}
