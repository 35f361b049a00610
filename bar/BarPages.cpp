// CBarDlg: the four button pages, ← and → between them, 的 for the title
// strip, and the layout that puts a page's buttons in one row and sizes the
// bar around them.
#include "bar/BarDlg.h"

#include "bar/BarMetrics.h"
#include "bar/ShortSleeper.h"
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
        m_sleeper.Sleep((m_next.QuadPart - now.QuadPart) * 10000000 / m_freq.QuadPart);
    }

private:
    CShortSleeper m_sleeper;
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

CDialogBase CBarDlg::BaseAt(UINT nDpi) const
{
    if (nDpi == m_nDpi && m_font) return m_base;
    for (const auto& [dpi, base] : m_otherBases)
        if (dpi == nDpi) return base;
    CFont font;
    font.Reset(m_template.CreateFontForDpi(nDpi));
    const CDialogBase base = font ? CDialogBase::Of(font) : m_base;
    m_otherBases.emplace_back(nDpi, base);
    return base;
}

// The height of the bar's frame above its client area: measured at the DPI
// the bar has, computed for another.
int CBarDlg::FrameTop(UINT nDpi) const
{
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame{0, 0, 0, 0};
    if (nDpi != m_nDpi && adjust
        && adjust(&frame, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                  static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)), nDpi))
        return -frame.top;
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    return origin.y - GetWindowRect().top;
}

void CBarDlg::UseDpi(UINT nDpi)
{
    HFONT hFont = m_template.CreateFontForDpi(nDpi);
    if (!hFont) return;  // no template font: the dialog manager's layout stays
    CFont previous;  // deleted once no control uses it any more
    previous.Reset(m_font.Detach());
    m_nDpi = nDpi;
    m_font.Reset(hFont);
    m_base = CDialogBase::Of(m_font);
    // At start the dialog manager has usually laid the controls out with this
    // very font already; doing it again would cost a message per control.
    if (!previous && IsDialogManagerLayout()) return;
    for (const CDialogTemplate::Item& item : m_template.m_items) {
        HWND hControl = GetDlgItem(item.nID);
        if (!hControl) continue;
        ::SendMessageA(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_font)), FALSE);
        ::MoveWindow(hControl, m_base.X(item.units.left), m_base.Y(item.units.top),
                     m_base.X(item.units.right - item.units.left), m_base.Y(item.units.bottom - item.units.top), FALSE);
    }
    // The controls were moved without painting: paint them all once.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Whether the controls stand where UseDpi would put them, in the same font:
// the dialog's font is ours and its base units are m_base.
bool CBarDlg::IsDialogManagerLayout() const
{
    LOGFONTW theirs{}, ours{};
    const auto hTheirs = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!hTheirs || !::GetObjectW(hTheirs, sizeof theirs, &theirs) || !::GetObjectW(m_font, sizeof ours, &ours))
        return false;
    RECT unit{0, 0, 4, 8};
    return theirs.lfHeight == ours.lfHeight && theirs.lfWeight == ours.lfWeight && theirs.lfItalic == ours.lfItalic
           && theirs.lfCharSet == ours.lfCharSet && ::wcscmp(theirs.lfFaceName, ours.lfFaceName) == 0
           && ::MapDialogRect(m_hWnd, &unit) && unit.right == m_base.cx && unit.bottom == m_base.cy;
}

CBarDlg::PageLayout CBarDlg::ComputeLayout(int nPage, bool bStripShown, UINT nDpi) const
{
    const PageRow& row = g_PageTable[nPage];
    const CDialogBase base = BaseAt(nDpi);
    const int y = bStripShown ? ScaleToDpi(kStripHeight, nDpi) : 0;
    PageLayout layout;
    // Puts a control at x in its template size; returns its right edge.
    auto put = [&](int nID, int x) {
        const RECT units = m_template.UnitsOf(nID);
        const CRect r(x, y, x + base.X(units.right - units.left), y + base.Y(units.bottom - units.top));
        layout.controls.emplace_back(nID, r);
        return static_cast<int>(r.right);
    };

    int rightEdge = 0;
    if (nPage != kCustomPage) {
        for (int i = 0; i < row.nCount; ++i) {
            const int right = put(row.nID[i], base.X(row.nX[i]));
            if (row.nID[i] == IDC_NEXT) rightEdge = right;
        }
    } else {
        // The custom page packs its buttons side by side from 17 dialog units.
        put(IDC_PREV, base.X(row.nX[0]));
        int x = base.X(row.nX[kFirstOwnSlot]);
        for (int i = kFirstOwnSlot; i < row.nCount; ++i)
            if (IsPageButtonId(row.nID[i])) x = put(row.nID[i], x);
        layout.bTarget = row.nID[2] == IDC_TARGET;
        if (layout.bTarget) x = put(IDC_TARGET, x + ScaleToDpi(kTargetGap, nDpi));
        rightEdge = put(IDC_NEXT, x + ScaleToDpi(kNextGap, nDpi));
    }
    const RECT prev = m_template.UnitsOf(IDC_PREV);
    layout.size = {rightEdge + ScaleToDpi(kRightMargin, nDpi),
                   FrameTop(nDpi) + y + base.Y(prev.bottom - prev.top) + ScaleToDpi(kBottomMargin, nDpi)};
    return layout;
}

SIZE CBarDlg::BarSizeAt(UINT nDpi) const
{
    return ComputeLayout(m_PageNo, (m_Option & kOptionTitleStrip) != 0, nDpi).size;
}

void CBarDlg::LayoutPage(int nPage, bool bStripShown)
{
    const PageLayout layout = ComputeLayout(nPage, bStripShown, m_nDpi);
    // Moved without painting, then painted once: a page of buttons costs one
    // paint of the bar rather than one per button.
    for (const auto& [id, r] : layout.controls)
        if (HWND hControl = GetDlgItem(id))
            ::SetWindowPos(hControl, nullptr, r.left, r.top, r.Width(), r.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (nPage == kCustomPage) m_btnTarget.ShowWindow(layout.bTarget ? SW_SHOW : SW_HIDE);
    m_stTarget.ShowWindow(bStripShown ? SW_SHOW : SW_HIDE);

    const CRect bar = GetWindowRect();
    PlaceBar(bar.left, bar.top, layout.size.cx, layout.size.cy, SWP_SHOWWINDOW);
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
