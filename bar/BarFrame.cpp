// CBarDlg: the bar's frame (painting, dragging by any bare spot), its menu
// and the keys that open it, and the global hot key.
#include "bar/BarDlg.h"

#include <cstdlib>

#include "bar/BarMetrics.h"
#include "resources/resource.h"

// The colour the bar's surface is painted in.
COLORREF CBarDlg::BarColour() const { return BarSurfaceColour(m_BkColor, IsHighContrastOn()); }

// The surface takes the bar's colour as soon as it is erased (before the
// paint, and whenever a control asks its parent to paint behind it), so no
// grey shows first.
BOOL CBarDlg::OnEraseBkgnd(HDC hDC)
{
    CBrush brush(BarColour());
    const CRect client = GetClientRect();
    ::FillRect(hDC, &client, brush);
    return TRUE;
}

void CBarDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const CRect client = GetClientRect();
    if (::IsIconic(m_hWnd)) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)));
        const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
        return;
    }
    CBrush brush(BarColour());
    ::FillRect(dc, &client, brush);
    Default();
}

COLORREF BarSurfaceColour(COLORREF stored, bool bHighContrast)
{
    return bHighContrast ? ::GetSysColor(COLOR_BTNFACE) : stored;
}

bool IsHighContrastOn()
{
    HIGHCONTRASTA highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0)
           && (highContrast.dwFlags & HCF_HIGHCONTRASTON);
}

// High contrast switched on or off, or other colours: the surface and the
// buttons are painted afresh in them.
void CBarDlg::OnSysColorChange()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Default();
}

void CBarDlg::OnSettingChange(UINT, LPCSTR)
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Default();
}

HCURSOR CBarDlg::OnQueryDragIcon() { return m_hIcon; }

// The whole surface acts as a caption, so the bar is dragged by any bare spot
// (and by the title strip, which lets hit tests through).
LRESULT CBarDlg::OnNcHitTest(CPoint) { return HTCAPTION; }

void CBarDlg::ShowBarMenu(int x, int y)
{
    // One menu at a time: the hot key may arrive while the menu is open.
    if (m_bMenuOpen) return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_BARMENU)) return;
    m_bMenuOpen = true;
    ::TrackPopupMenu(menu.GetSubMenu(0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, m_hWnd, nullptr);
    m_bMenuOpen = false;
}

CPoint CBarDlg::KeyboardMenuPoint() const
{
    CPoint point(0, 0);
    ClientToScreen(&point);
    return CPoint(point.x + ScalePixels(kMenuInset), point.y + ScalePixels(kMenuInset));
}

// The bar reached a monitor of another DPI: it takes its font and layout
// for that DPI itself (the dialog manager's scaling is off, see
// KeepDialogDpiToItself) and goes to the place it was being moved to, or
// else to the one the system suggests.
LRESULT CBarDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const RECT place = m_placeUnderWay ? *m_placeUnderWay : *reinterpret_cast<const RECT*>(lParam);
    if (HIWORD(wParam) != m_nDpi) UseDpi(HIWORD(wParam));
    UseIcons();
    PlaceBar(place.left, place.top, place.right - place.left, place.bottom - place.top, SWP_NOACTIVATE);
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
    return 0;
}

// Windows asks, before it moves the bar onto a monitor of another DPI, what
// size it will have there: the bar's own layout at that DPI, not the present
// size scaled, so the place Windows then suggests keeps the bar under the
// cursor.
LRESULT CBarDlg::OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 || !lParam) return FALSE;
    *reinterpret_cast<SIZE*>(lParam) = BarSizeAt(static_cast<UINT>(wParam));
    return TRUE;
}

// The press is left alone: some systems' default handling of a right press on
// a caption swallows the release (and with it the menu) in a loop of its own.
void CBarDlg::OnNcRButtonDown(UINT, CPoint) {}

void CBarDlg::OnNcRButtonUp(UINT, CPoint point)
{
    ShowBarMenu(point.x, point.y);
    // Where the default processing raises WM_CONTEXTMENU for this same
    // release, the menu has been shown already.
    m_bNcMenuShown = true;
    Default();
    m_bNcMenuShown = false;
}

void CBarDlg::OnContextMenu(HWND, CPoint point)
{
    if (m_bNcMenuShown) return;
    // (-1, -1) comes from the keyboard: place it as Shift+F10 does.
    if (point.x == -1 && point.y == -1) point = KeyboardMenuPoint();
    ShowBarMenu(point.x, point.y);
}

void CBarDlg::RelayToToolTip(MSG* pMsg)
{
    if (!m_ToolTip.m_hWnd) return;
    if (pMsg->message != WM_NCMOUSEMOVE || pMsg->hwnd != m_hWnd) {
        m_ToolTip.RelayEvent(pMsg);
        return;
    }
    // The whole surface is a caption, so the pointer over it moves as
    // non-client input, which the tooltip control ignores: hand it over as
    // the client move it is.
    MSG move = *pMsg;
    POINT point = CPoint(pMsg->lParam);
    ScreenToClient(&point);
    move.message = WM_MOUSEMOVE;
    move.wParam = 0;
    move.lParam = MAKELPARAM(point.x, point.y);
    m_ToolTip.RelayEvent(&move);
}

BOOL CBarDlg::PreTranslateMessage(MSG* pMsg)
{
    RelayToToolTip(pMsg);

    switch (pMsg->message) {
    case WM_HOTKEY:
        OnHotKey();
        return TRUE;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // With no button focused (after a click on the surface or the hot
        // key) the system sends keys to the bar as WM_SYSKEYDOWN.
        if (pMsg->wParam == VK_ESCAPE) {
            // Escape opens the menu below the bar; it never closes the bar.
            const CRect r = GetWindowRect();
            ShowBarMenu(r.left, r.bottom);
            return TRUE;
        }
        if (pMsg->wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & ~1)) {
            const CPoint point = KeyboardMenuPoint();
            ShowBarMenu(point.x, point.y);
            return TRUE;
        }
        break;
    case WM_CONTEXTMENU: {
        const CPoint point = KeyboardMenuPoint();
        ShowBarMenu(point.x, point.y);
        return TRUE;
    }
    default:
        break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

UINT KeyNameToVirtualKey(const CString& name)
{
    if (name.GetLength() == 1) {
        const char ch = name.GetAt(0);
        return (ch >= 'A' && ch <= 'Z') ? static_cast<UINT>(ch) : 0;
    }
    if (name.GetLength() > 1 && name.GetAt(0) == 'F') {
        const int n = std::atoi(name.Mid(1));
        return (n >= 1 && n <= 13) ? static_cast<UINT>(VK_F1 + n - 1) : 0;
    }
    return 0;
}

void CBarDlg::RegisterBarHotKey()
{
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    if (m_HotKey.Do == 0) return;
    UINT modifiers = 0;
    if (m_HotKey.SysKey & 1) modifiers |= MOD_ALT;
    if (m_HotKey.SysKey & 2) modifiers |= MOD_CONTROL;
    if (m_HotKey.SysKey & 4) modifiers |= MOD_SHIFT;
    const UINT vk = KeyNameToVirtualKey(m_HotKey.Key);
    if (vk == 0) return;
    // A combination another program holds simply does not work.
    ::RegisterHotKey(m_hWnd, kHotKeyId, modifiers, vk);
}

// The dialog the user is in while the bar is disabled: the bar's most
// recently active popup, followed along owner chains (the settings sheet's
// colour chooser), or none.
HWND CBarDlg::OpenDialog() const
{
    HWND hPopup = ::GetLastActivePopup(m_hWnd);
    // A disabled one waits on a box above it (the sheet under its message).
    if (hPopup && hPopup != m_hWnd && ::IsWindowVisible(hPopup) && ::IsWindowEnabled(hPopup)) return hPopup;
    // A dialog that never became active (another program kept the foreground
    // while it opened) is not the last active popup: take the uppermost
    // visible, enabled window the bar owns, tooltips and menus aside.
    std::pair<HWND, HWND> search{m_hWnd, nullptr};  // the bar, what was found
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto& [hBar, hFound] = *reinterpret_cast<std::pair<HWND, HWND>*>(lParam);
        if (hWnd == hBar || ::GetAncestor(hWnd, GA_ROOTOWNER) != hBar || !::IsWindowVisible(hWnd)
            || !::IsWindowEnabled(hWnd) || (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
            return TRUE;
        hFound = hWnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Reached from the bar's own loop (PreTranslateMessage) and, while a
// message box or the settings sheet runs its own loop, as a dispatched
// WM_HOTKEY.
void CBarDlg::OnHotKey()
{
    // A dialog of the bar is open (the about box, the settings sheet, a
    // message box; the bar is disabled meanwhile): bring it forward and
    // nothing more, so that no menu or second sheet opens on top of it.
    if (!IsWindowEnabled()) {
        if (HWND hDialog = OpenDialog()) ::SetForegroundWindow(hDialog);
        return;
    }
    ::SetForegroundWindow(m_hWnd);
    // Activated with no control focused (none has had the focus since the
    // bar started), the bar gets keys as system keys and Space and Tab do
    // nothing: the page's first button takes the keyboard.
    const HWND hFocus = ::GetFocus();
    if (!hFocus || !::IsChild(m_hWnd, hFocus) || !::IsWindowVisible(hFocus)) {
        if (HWND hButton = FirstPageButton()) GotoDlgCtrl(hButton);
    }
    if (m_HotKey.Do == 2) {
        const CRect r = GetWindowRect();
        ShowBarMenu(r.left, r.bottom);
    }
}

// The first enabled, visible text button of the page shown; on a page with
// none (the launch page) its first enabled, visible button.
HWND CBarDlg::FirstPageButton() const
{
    const PageRow& row = g_PageTable[m_PageNo];
    HWND hFirst = nullptr;
    for (int i = kFirstOwnSlot; i < row.nCount; ++i) {
        if (!IsPageButtonId(row.nID[i])) continue;
        const HWND hButton = GetDlgItem(row.nID[i]);
        if (!hButton || !::IsWindowVisible(hButton) || !::IsWindowEnabled(hButton)) continue;
        const bool bLaunch = row.nID[i] >= IDC_LAUNCH1 && row.nID[i] <= IDC_LAUNCH10;
        if (!bLaunch) return hButton;
        if (!hFirst) hFirst = hButton;
    }
    return hFirst;
}
