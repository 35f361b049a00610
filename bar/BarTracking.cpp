// CBarDlg: placing the bar, tracking the target window twice a second and
// docking at a corner of it.
#include "bar/BarDlg.h"

#include <string>

#include "bar/BarMetrics.h"

void CBarDlg::PlaceBar(int x, int y, int cx, int cy, UINT nFlags)
{
    SetWindowPos((m_Option & kOptionNotTopmost) ? HWND_NOTOPMOST : HWND_TOPMOST, x, y, cx, cy, nFlags);
}

bool DockingPoint(int nPos, const RECT& target, int width, int height, POINT* pTopLeft)
{
    switch (nPos) {
    case 0: *pTopLeft = {target.left + kDockTopLeftX, target.top}; return true;
    case 1: *pTopLeft = {target.right - width - kDockTopRightX, target.top}; return true;
    case 2: *pTopLeft = {target.left + kDockBottomLeftX, target.bottom - height}; return true;
    case 3: *pTopLeft = {target.right - width - kDockBottomRightX, target.bottom - height}; return true;
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
    if (!DockingPoint(m_Pos, target, bar.Width(), bar.Height(), &corner)) return;
    if (corner.x == bar.left && corner.y == bar.top) return;
    PlaceBar(corner.x, corner.y, bar.Width(), bar.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
}
