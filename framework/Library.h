// System DLLs that the program needs only now and then (the shell for launch
// buttons and dropped files, the common dialogs for the colour chooser, the
// common controls for tooltips and the settings sheet, visual styles for the
// few controls that draw or refuse them themselves), loaded on first use
// instead of imported: an imported DLL is loaded, with every DLL it imports
// in turn, before the program can show anything.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <uxtheme.h>

HINSTANCE AfxShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                          INT nShowCmd);
UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void AfxDragFinish(HDROP hDrop);
BOOL AfxChooseColor(LPCHOOSECOLORA lpcc);
// Loads the common controls and registers their window classes, once; true
// when they are there. Call before making a window of one of their classes.
bool AfxInitCommonControls();
INT_PTR AfxPropertySheet(LPCPROPSHEETHEADERA lppsh);

// Gives a control the classic look whatever the visual style (nothing where
// visual styles do not exist).
void AfxSetClassicLook(HWND hWnd);

// A window's visual-style data for one class ("BUTTON"), closed with the
// object; false while no visual style is active, so the caller draws the
// classic way.
class CThemeData {
public:
    CThemeData(HWND hWnd, LPCWSTR pszClassList);
    ~CThemeData();
    CThemeData(const CThemeData&) = delete;
    CThemeData& operator=(const CThemeData&) = delete;
    explicit operator bool() const { return m_hTheme != nullptr; }
    // The part's own size (TS_DRAW), or 0 x 0.
    SIZE PartSize(HDC hDC, int nPart, int nState) const;
    void DrawBackground(HDC hDC, int nPart, int nState, const RECT& rect) const;

private:
    HTHEME m_hTheme = nullptr;
};
