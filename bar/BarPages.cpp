// CBarDlg: the four button pages, ← and → between them, 的 for the title
// strip, and the layout that puts a page's buttons in one row and sizes the
// bar around them.
#include "bar/BarDlg.h"

#include "bar/BarMetrics.h"
#include "resources/resource.h"

namespace {
// The pauses of one pass: the buttons come on a 10 ms beat from the start of
// the pass, so neither the time ShowWindow takes nor a sleep that wakes late
// adds up over a pass. A step that is late by a whole beat restarts the beat
// rather than hurrying the buttons after it.
class CButtonPacer {
public:
    CButtonPacer()
    {
        ::QueryPerformanceFrequency(&m_freq);
        ::QueryPerformanceCounter(&m_next);
    }
    void Pause()
    {
        m_next.QuadPart += m_freq.QuadPart * kButtonStepMs / 1000;
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        if (now.QuadPart >= m_next.QuadPart) {
            m_next = now;
            return;
        }
        // Sleep whole milliseconds, then yield for the last fraction of one.
        if (const LONGLONG ms = (m_next.QuadPart - now.QuadPart) * 1000 / m_freq.QuadPart; ms > 0)
            ::Sleep(static_cast<DWORD>(ms));
        do ::Sleep(0);
        while (::QueryPerformanceCounter(&now), now.QuadPart < m_next.QuadPart);
    }

private:
    LARGE_INTEGER m_freq{}, m_next{};
};
}  // namespace

void CBarDlg::ShowPageButtons(int nPage, int nCmdShow)
{
    const PageRow& row = g_PageTable[nPage];
    if (row.nID[2] == IDC_TARGET) m_btnTarget.ShowWindow(SW_SHOW);
    CButtonPacer pacer;
    for (int i = kFirstOwnSlot; i < row.nCount; ++i) {
        if (!IsPageButtonId(row.nID[i])) continue;
        pacer.Pause();
        ::ShowWindow(GetDlgItem(row.nID[i]), nCmdShow);
    }
}

namespace {
int WidthOf(HWND hControl)
{
    CRect r;
    ::GetWindowRect(hControl, &r);
    return r.Width();
}
}  // namespace

void CBarDlg::LayoutPage(int nPage, bool bStripShown)
{
    const PageRow& row = g_PageTable[nPage];
    const int y = bStripShown ? ScalePixels(kStripHeight) : 0;
    auto dialogUnitsToPixels = [this](int x) {
        CRect r(x, 0, 0, 0);
        MapDialogRect(&r);
        return static_cast<int>(r.left);
    };
    // Moves a control to (x, y) keeping its size.
    auto moveTo = [y](HWND hControl, int x) {
        CRect r;
        ::GetWindowRect(hControl, &r);
        ::MoveWindow(hControl, x, y, r.Width(), r.Height(), TRUE);
    };

    int rightEdge = 0;
    if (nPage != kCustomPage) {
        for (int i = 0; i < row.nCount; ++i)
            if (HWND hControl = GetDlgItem(row.nID[i])) moveTo(hControl, dialogUnitsToPixels(row.nX[i]));
        CRect next = m_btnNext.GetWindowRect();
        ScreenToClient(&next);
        rightEdge = next.right;
    } else {
        // The custom page packs its buttons side by side from 17 dialog units.
        moveTo(m_btnPrev, dialogUnitsToPixels(row.nX[0]));
        int x = dialogUnitsToPixels(row.nX[kFirstOwnSlot]);
        for (int i = kFirstOwnSlot; i < row.nCount; ++i) {
            if (!IsPageButtonId(row.nID[i])) continue;
            HWND hControl = GetDlgItem(row.nID[i]);
            moveTo(hControl, x);
            x += WidthOf(hControl);
        }
        if (row.nID[2] == IDC_TARGET) {
            x += ScalePixels(kTargetGap);
            moveTo(m_btnTarget, x);
            m_btnTarget.ShowWindow(SW_SHOW);
            x += WidthOf(m_btnTarget) + ScalePixels(kNextGap);
        } else {
            m_btnTarget.ShowWindow(SW_HIDE);
            x += ScalePixels(kNextGap);
        }
        moveTo(m_btnNext, x);
        rightEdge = x + WidthOf(m_btnNext);
    }

    m_stTarget.ShowWindow(bStripShown ? SW_SHOW : SW_HIDE);

    const CRect bar = GetWindowRect();
    const CRect prev = m_btnPrev.GetWindowRect();
    PlaceBar(bar.left, bar.top, rightEdge + ScalePixels(kRightMargin), prev.bottom - bar.top + ScalePixels(kBottomMargin),
             SWP_SHOWWINDOW);
}

void CBarDlg::OnPagePrev() { StepPage(-1); }

void CBarDlg::OnPageNext() { StepPage(+1); }

// One step back (-1) or forward (+1). At the first or last page the button
// that led there is disabled and the focus moves to the other one; there is
// no wrap-around.
void CBarDlg::StepPage(int nStep)
{
    const int newPage = m_PageNo + nStep;
    if (newPage < 1 || newPage > kPageCount) return;
    const int oldPage = m_PageNo;
    m_PageNo = newPage;
    ShowPageButtons(oldPage, SW_HIDE);
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
    ShowPageButtons(m_PageNo, SW_SHOW);

    CButton& towards = nStep < 0 ? m_btnPrev : m_btnNext;
    CButton& back = nStep < 0 ? m_btnNext : m_btnPrev;
    back.EnableWindow(TRUE);
    if (m_PageNo == (nStep < 0 ? 1 : kPageCount)) {
        towards.EnableWindow(FALSE);
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(back.m_hWnd), TRUE);
    }
}

void CBarDlg::OnToggleTarget()
{
    m_Option ^= kOptionTitleStrip;
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
}
