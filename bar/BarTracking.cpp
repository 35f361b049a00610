// CBarDlg: placing the bar, tracking the target window twice a second and
// docking at a corner of it.
#include "bar/BarDlg.h"

#include <string>

#include "bar/BarMetrics.h"
#include "framework/Gdi.h"

void CBarDlg::PlaceBar(int x, int y, int cx, int cy, UINT nFlags)
{
    SetWindowPos((m_Option & kOptionNotTopmost) ? HWND_NOTOPMOST : HWND_TOPMOST, x, y, cx, cy, nFlags);
}

int ScaleToDpi(int nPixels, UINT nDpi) { return ::MulDiv(nPixels, static_cast<int>(nDpi), kBaseDpi); }

int CBarDlg::ScalePixels(int nPixels) const { return ScaleToDpi(nPixels, m_nDpi); }

namespace {
// A function of user32 that older Windows lacks, or null there; the program
// must still start on Windows 7.
template <typename Function>
Function User32Function(const char* name)
{
    FARPROC proc = ::GetProcAddress(::GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}
}  // namespace

UINT WindowDpi(HWND hWnd)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hWnd)) return dpi;
    }
    CClientDC screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

bool DialogFollowsDpi(HWND hWnd)
{
    using GetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using EqualFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    static const auto getContext = User32Function<GetContextFn>("GetWindowDpiAwarenessContext");
    static const auto equal = User32Function<EqualFn>("AreDpiAwarenessContextsEqual");
    return getContext && equal && equal(getContext(hWnd), DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

bool DockingPoint(int nPos, const RECT& target, int width, int height, UINT nDpi, POINT* pTopLeft)
{
    switch (nPos) {
    case 0: *pTopLeft = {target.left + ScaleToDpi(kDockTopLeftX, nDpi), target.top}; return true;
    case 1: *pTopLeft = {target.right - width - ScaleToDpi(kDockTopRightX, nDpi), target.top}; return true;
    case 2: *pTopLeft = {target.left + ScaleToDpi(kDockBottomLeftX, nDpi), target.bottom - height}; return true;
    case 3:
        *pTopLeft = {target.right - width - ScaleToDpi(kDockBottomRightX, nDpi), target.bottom - height};
        return true;
    default: return false;  // a hand-edited corner: the bar stays put
    }
}

namespace {
// Another program's whole title, however long. GetWindowTextA reads it
// without sending that program a message, so a hung target cannot hang the
// bar.
CString TitleOf(HWND hWindow)
{
    std::string title(1024, '\0');
    for (;;) {
        const int got = ::GetWindowTextA(hWindow, title.data(), static_cast<int>(title.size()));
        // A title that filled the buffer may have been cut: read it again,
        // larger.
        if (got < static_cast<int>(title.size()) - 2 || title.size() >= (1u << 20))
            return CString(title.data(), got > 0 ? got : 0);
        title.assign(title.size() * 4, '\0');
    }
}
}  // namespace

void CBarDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kClipboardTimer) return OnClipboardTimer();
    KillTimer(kTrackTimer);  // armed again below, so slow ticks never pile up

    HWND hForeground = ::GetForegroundWindow();
    if (!hForeground) {
        m_pTarget.reset();
        m_stTarget.SetWindowText("");
    } else if (hForeground != m_hWnd && hForeground != m_hProgMan && hForeground != m_hTrayWnd) {
        m_pTarget.emplace(hForeground);
        m_strTarget = TitleOf(hForeground);
        if (!(m_stTarget.GetWindowText() == m_strTarget)) m_stTarget.SetWindowText(m_strTarget);
    } else if (m_pTarget && !::IsWindow(m_pTarget->m_hWnd)) {
        m_pTarget.reset();
        m_stTarget.SetWindowText("");
    }

    if ((m_Option & kOptionFollowTarget) && m_pTarget) FollowTarget();

    SetTimer(kTrackTimer, kTrackPeriod);
    Default();
}

void CBarDlg::FollowTarget()
{
    HWND hTarget = m_pTarget->m_hWnd;
    if (hTarget == m_hWnd || ::IsIconic(hTarget)) return;
    CRect target;
    if (!::GetWindowRect(hTarget, &target)) return;
    const CRect bar = GetWindowRect();
    POINT corner;
    if (!DockingPoint(m_Pos, target, bar.Width(), bar.Height(), m_nDpi, &corner)) return;
    if (corner.x == bar.left && corner.y == bar.top) return;
    PlaceBar(corner.x, corner.y, bar.Width(), bar.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
}
