#include "framework/Library.h"

namespace {
// A DLL of the system folder (never one lying beside the program), loaded at
// its first use and kept until the program ends: windows of its classes may
// outlive any object here.
class CLibrary {
public:
    explicit CLibrary(LPCSTR lpszName)
    {
        // By name from the system folder only: the name lets the program's
        // manifest redirect it (Common Controls 6 of the side-by-side store);
        // a full path would skip that redirection.
        m_hModule = ::LoadLibraryExA(lpszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (m_hModule || ::GetLastError() != ERROR_INVALID_PARAMETER) return;
        // Windows 7 without update KB2533623 knows no search flags: the full
        // path, with the classic controls.
        char path[MAX_PATH + 32] = {};
        const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        lstrcatA(path, "\\");
        lstrcatA(path, lpszName);
        m_hModule = ::LoadLibraryA(path);
    }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    // The named function as type Fn, or null when the DLL or the function is missing.
    template <typename Fn>
    Fn Function(LPCSTR lpszName) const
    {
        FARPROC proc = m_hModule ? ::GetProcAddress(m_hModule, lpszName) : nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
    }

private:
    HMODULE m_hModule = nullptr;
};

const CLibrary& Shell32()
{
    static const CLibrary s_library("shell32.dll");
    return s_library;
}

const CLibrary& ComDlg32()
{
    static const CLibrary s_library("comdlg32.dll");
    return s_library;
}

const CLibrary& ComCtl32()
{
    static const CLibrary s_library("comctl32.dll");
    return s_library;
}

const CLibrary& UxTheme()
{
    static const CLibrary s_library("uxtheme.dll");
    return s_library;
}
}  // namespace

HINSTANCE AfxShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                          INT nShowCmd)
{
    using Fn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static const Fn fn = Shell32().Function<Fn>("ShellExecuteA");
    // Without the shell the start fails as a missing file would.
    return fn ? fn(hWnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd)
              : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
}

UINT AfxDragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch)
{
    using Fn = UINT(WINAPI*)(HDROP, UINT, LPSTR, UINT);
    static const Fn fn = Shell32().Function<Fn>("DragQueryFileA");
    return fn ? fn(hDrop, iFile, lpszFile, cch) : 0;
}

void AfxDragFinish(HDROP hDrop)
{
    using Fn = void(WINAPI*)(HDROP);
    static const Fn fn = Shell32().Function<Fn>("DragFinish");
    if (fn) fn(hDrop);
}

BOOL AfxChooseColor(LPCHOOSECOLORA lpcc)
{
    using Fn = BOOL(WINAPI*)(LPCHOOSECOLORA);
    static const Fn fn = ComDlg32().Function<Fn>("ChooseColorA");
    return fn ? fn(lpcc) : FALSE;
}

bool AfxInitCommonControls()
{
    using Fn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const bool s_ready = [] {
        const Fn fn = ComCtl32().Function<Fn>("InitCommonControlsEx");
        const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        return fn && fn(&icc);
    }();
    return s_ready;
}

INT_PTR AfxPropertySheet(LPCPROPSHEETHEADERA lppsh)
{
    using Fn = INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA);
    static const Fn fn = ComCtl32().Function<Fn>("PropertySheetA");
    // Without the common controls the sheet fails as PropertySheet itself fails.
    return fn && AfxInitCommonControls() ? fn(lppsh) : -1;
}

void AfxSetClassicLook(HWND hWnd)
{
    using Fn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const Fn fn = UxTheme().Function<Fn>("SetWindowTheme");
    // Names that match no class of any visual style: the control draws as
    // without styles. (A blank rather than the empty string, which Wine's
    // uxtheme cannot keep and so ignores; both match nothing on Windows.)
    if (fn) fn(hWnd, L" ", L" ");
}

CThemeData::CThemeData(HWND hWnd, LPCWSTR pszClassList)
{
    using Fn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    static const Fn fn = UxTheme().Function<Fn>("OpenThemeData");
    if (fn) m_hTheme = fn(hWnd, pszClassList);
}

CThemeData::~CThemeData()
{
    using Fn = HRESULT(WINAPI*)(HTHEME);
    static const Fn fn = UxTheme().Function<Fn>("CloseThemeData");
    if (m_hTheme && fn) fn(m_hTheme);
}

SIZE CThemeData::PartSize(HDC hDC, int nPart, int nState) const
{
    using Fn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, THEMESIZE, SIZE*);
    static const Fn fn = UxTheme().Function<Fn>("GetThemePartSize");
    SIZE size{0, 0};
    if (m_hTheme && fn && FAILED(fn(m_hTheme, hDC, nPart, nState, nullptr, TS_DRAW, &size))) size = SIZE{0, 0};
    return size;
}

void CThemeData::DrawBackground(HDC hDC, int nPart, int nState, const RECT& rect) const
{
    using Fn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);
    static const Fn fn = UxTheme().Function<Fn>("DrawThemeBackground");
    if (m_hTheme && fn) fn(m_hTheme, hDC, nPart, nState, &rect, nullptr);
}
