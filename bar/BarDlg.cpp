#include "bar/BarDlg.h"

#include <cstdlib>
#include <string>

#include "about/AboutDlg.h"
#include "app/BarApp.h"
#include "app/GetComma.h"
#include "resources/resource.h"
#include "settings/AppStartDlg.h"
#include "settings/CustomPageDlg.h"
#include "settings/ExtensionDlg.h"
#include "settings/HotKeyDlg.h"
#include "settings/PrivateDlg.h"
#include "settings/UserStringDlg.h"

namespace {
// Control id of user string i (0..9) and launch entry i (0..9).
int UserStringId(int i) { return i == 0 ? IDC_STRING1 : IDC_STRING2 + i - 1; }
int LaunchId(int i) { return IDC_LAUNCH1 + i; }

// Joins this thread's input to another thread's for as long as it lives, so
// that SetFocus may reach a window of another program.
class CAttachedInput {
public:
    explicit CAttachedInput(DWORD otherThread)
        : m_other(otherThread), m_attached(otherThread != ::GetCurrentThreadId()
                                           && ::AttachThreadInput(::GetCurrentThreadId(), otherThread, TRUE)) {}
    ~CAttachedInput() { if (m_attached) ::AttachThreadInput(::GetCurrentThreadId(), m_other, FALSE); }
    CAttachedInput(const CAttachedInput&) = delete;
    CAttachedInput& operator=(const CAttachedInput&) = delete;

private:
    DWORD m_other;
    bool m_attached;
};

// Releases a drop handle on every path.
class CDropHandle {
public:
    explicit CDropHandle(HDROP hDrop) : m_hDrop(hDrop) {}
    ~CDropHandle() { ::DragFinish(m_hDrop); }
    CDropHandle(const CDropHandle&) = delete;
    CDropHandle& operator=(const CDropHandle&) = delete;
    operator HDROP() const { return m_hDrop; }

private:
    HDROP m_hDrop;
};
}  // namespace

BEGIN_MESSAGE_MAP(CBarDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_NCHITTEST()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCRBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_WM_DROPFILES()
    ON_WM_DESTROY()
    ON_WM_QUERYENDSESSION()
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_COMMAND(ID_SETTINGS, OnSettings)
    ON_COMMAND(IDC_TARGET, OnToggleTarget)
    ON_COMMAND(IDC_PREV, OnPagePrev)
    ON_COMMAND(IDC_NEXT, OnPageNext)
    ON_COMMAND(IDC_LAUNCH1 + 0, OnLaunch1)
    ON_COMMAND(IDC_LAUNCH1 + 1, OnLaunch2)
    ON_COMMAND(IDC_LAUNCH1 + 2, OnLaunch3)
    ON_COMMAND(IDC_LAUNCH1 + 3, OnLaunch4)
    ON_COMMAND(IDC_LAUNCH1 + 4, OnLaunch5)
    ON_COMMAND(IDC_LAUNCH1 + 5, OnLaunch6)
    ON_COMMAND(IDC_LAUNCH1 + 6, OnLaunch7)
    ON_COMMAND(IDC_LAUNCH1 + 7, OnLaunch8)
    ON_COMMAND(IDC_LAUNCH1 + 8, OnLaunch9)
    ON_COMMAND(IDC_LAUNCH1 + 9, OnLaunch10)
END_MESSAGE_MAP()

// ---- Construction and start-up -------------------------------------------

CBarDlg::CBarDlg(CWnd* pParent) : CDialog(IDD_BAR, pParent)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_TAVRIN));
    LoadProfile();
}

void CBarDlg::LoadProfile()
{
    CBarApp* pApp = GetBarApp();
    pApp->LoadPrivateData(m_Private);
    pApp->LoadUserString(m_UserString);
    pApp->LoadAppStart(m_AppStart);
    pApp->LoadCustomPage(g_PageTable[kCustomPage]);
    pApp->LoadHotKey(m_HotKey);
    m_PageNo = static_cast<int>(pApp->GetProfileInt("Setting", "PageNo", 1));
    m_Option = static_cast<int>(pApp->GetProfileInt("Setting", "Option", 1));
    m_BkColor = pApp->GetProfileInt("Setting", "BkColor", 0xFF8080);
    m_Pos = static_cast<int>(pApp->GetProfileInt("Setting", "Pos", 0));
    // The bar writes only 1 to 4; anything else was edited by hand.
    if (m_PageNo < 1 || m_PageNo > kPageCount) m_PageNo = 1;
}

void CBarDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STRING10, m_btnString10);
    DDX_Control(pDX, IDC_STRING9, m_btnString9);
    DDX_Control(pDX, IDC_STRING8, m_btnString8);
    DDX_Control(pDX, IDC_STRING7, m_btnString7);
    DDX_Control(pDX, IDC_STRING6, m_btnString6);
    DDX_Control(pDX, IDC_STRING5, m_btnString5);
    DDX_Control(pDX, IDC_STRING4, m_btnString4);
    DDX_Control(pDX, IDC_STRING3, m_btnString3);
    DDX_Control(pDX, IDC_STRING2, m_btnString2);
    DDX_Control(pDX, IDC_STRING1, m_btnString1);
    DDX_Control(pDX, IDC_TARGET, m_btnTarget);
    DDX_Control(pDX, IDC_HOMEPAGE, m_btnHomePage);
    DDX_Control(pDX, IDC_MAIL, m_btnMail);
    DDX_Control(pDX, IDC_PHONE, m_btnPhone);
    DDX_Control(pDX, IDC_ADDRESS, m_btnAddress);
    DDX_Control(pDX, IDC_ZIP, m_btnZip);
    DDX_Control(pDX, IDC_FULLNAME, m_btnFullName);
    DDX_Control(pDX, IDC_GIVENNAME, m_btnGivenName);
    DDX_Control(pDX, IDC_FAMILYNAME, m_btnFamilyName);
    DDX_Control(pDX, IDC_NEXT, m_btnNext);
    DDX_Control(pDX, IDC_PREV, m_btnPrev);
    DDX_Control(pDX, IDC_TARGETTITLE, m_stTarget);
}

BOOL CBarDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetTimer(kTrackTimer, kTrackPeriod);

    CString title;
    title.LoadString(IDS_BARTITLE);
    SetWindowText(title);

    InitPlacement();
    if (m_PageNo == 1) m_btnPrev.EnableWindow(FALSE);
    if (m_PageNo == kPageCount) m_btnNext.EnableWindow(FALSE);

    m_ToolTip.Create(this, TTS_ALWAYSTIP);
    m_ToolTip.Activate(true);
    m_ToolTip.SetDelayTime(TTDT_AUTOMATIC, 300);
    CString barTip;
    barTip.LoadString(IDS_BARTIP);
    m_ToolTip.AddTool(m_hWnd, barTip);
    SetButtonCaptions();
    AddTooltips();

    AssignButtonTexts();
    RegisterBarHotKey();
    return FALSE;
}

void CBarDlg::InitPlacement()
{
    CGetComma position;
    position.SetString(GetBarApp()->GetProfileString("Setting", "Position", "100,100"));
    const int x = position.GetValue(0) > 0 ? position.GetValue(0) : 1;
    const int y = position.GetValue(1) > 0 ? position.GetValue(1) : 1;
    PlaceBar(x, y, GetWindowRect().Width(), 11, SWP_SHOWWINDOW);

    for (int page = 1; page <= kPageCount; ++page) ShowPageButtons(page, SW_HIDE);
    ShowPageButtons(m_PageNo, SW_SHOW);
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);

    m_hProgMan = ::FindWindowA(nullptr, "Program Manager");
    m_hTrayWnd = ::FindWindowA("Shell_TrayWnd", "");
}

void CBarDlg::SaveBarState()
{
    CBarApp* pApp = GetBarApp();
    pApp->WriteProfileInt("Setting", "PageNo", m_PageNo);
    pApp->WriteProfileInt("Setting", "Option", m_Option);
    const CRect r = GetWindowRect();
    CString position;
    position.Format("%d,%d", static_cast<int>(r.left), static_cast<int>(r.top));
    pApp->WriteProfileString("Setting", "Position", position);
}

void CBarDlg::OnDestroy()
{
    SaveBarState();
    Default();
}

BOOL CBarDlg::OnQueryEndSession()
{
    if (!Default()) return FALSE;
    SaveBarState();
    return TRUE;
}

// ---- Placement and target tracking ---------------------------------------

void CBarDlg::PlaceBar(int x, int y, int cx, int cy, UINT nFlags)
{
    SetWindowPos((m_Option & kOptionNotTopmost) ? HWND_NOTOPMOST : HWND_TOPMOST, x, y, cx, cy, nFlags);
}

bool DockingPoint(int nPos, const RECT& target, int width, int height, POINT* pTopLeft)
{
    switch (nPos) {
    case 0: *pTopLeft = {target.left + 23, target.top}; return true;
    case 1: *pTopLeft = {target.right - width - 69, target.top}; return true;
    case 2: *pTopLeft = {target.left + 8, target.bottom - height}; return true;
    case 3: *pTopLeft = {target.right - width - 11, target.bottom - height}; return true;
    default: return false;  // a hand-edited corner: the bar stays put
    }
}

void CBarDlg::OnTimer(UINT_PTR)
{
    KillTimer(kTrackTimer);  // armed again below, so slow ticks never pile up

    HWND hForeground = ::GetForegroundWindow();
    if (!hForeground) {
        m_pTarget.reset();
        m_stTarget.SetWindowText("");
    } else if (hForeground != m_hWnd && hForeground != m_hProgMan && hForeground != m_hTrayWnd) {
        m_pTarget.emplace(hForeground);
        // GetWindowTextA reads another program's title without sending it a
        // message, so a hung target cannot hang the bar.
        char title[1024] = {};
        ::GetWindowTextA(hForeground, title, sizeof title);
        m_strTarget = title;
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

// ---- Frame: painting, dragging, menu -------------------------------------

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
    CBrush brush(m_BkColor);
    ::FillRect(dc, &client, brush);
    Default();
}

HCURSOR CBarDlg::OnQueryDragIcon() { return m_hIcon; }

// The whole surface acts as a caption, so the bar is dragged by any bare spot
// (and by the title strip, which lets hit tests through).
LRESULT CBarDlg::OnNcHitTest(CPoint) { return HTCAPTION; }

void CBarDlg::ShowBarMenu(int x, int y)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_BARMENU)) return;
    ::TrackPopupMenu(menu.GetSubMenu(0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, m_hWnd, nullptr);
}

CPoint CBarDlg::KeyboardMenuPoint() const
{
    CPoint point(0, 0);
    ClientToScreen(&point);
    return CPoint(point.x + 5, point.y + 5);
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

void CBarDlg::OnAbout()
{
    KillTimer(kTrackTimer);
    CAboutDlg about;
    about.DoModal();
    SetTimer(kTrackTimer, kTrackPeriod);
}

void CBarDlg::OnSettings()
{
    KillTimer(kTrackTimer);
    {
        CPropertySheet sheet("設定", this, static_cast<UINT>(m_PageNo - 1));
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;

        // The custom page edits a copy of page 3's row: the bar still needs
        // the old row to hide the old buttons.
        PageRow customRow = g_PageTable[kCustomPage];
        CPrivateDlg privatePage;
        privatePage.Attach(m_Private);
        CUserStringDlg userStringPage;
        userStringPage.Attach(m_UserString);
        CCustomPageDlg customPage;
        customPage.Attach(customRow);
        CAppStartDlg appStartPage;
        appStartPage.Attach(m_AppStart);
        CExtensionDlg extensionPage;
        extensionPage.Attach(m_Option, m_BkColor, m_Pos);
        CHotKeyDlg hotKeyPage;
        hotKeyPage.Attach(m_HotKey);

        sheet.AddPage(&privatePage);
        sheet.AddPage(&userStringPage);
        sheet.AddPage(&customPage);
        sheet.AddPage(&appStartPage);
        sheet.AddPage(&extensionPage);
        sheet.AddPage(&hotKeyPage);
        if (sheet.DoModal() == IDOK) ApplySettings(customRow);
    }
    SetTimer(kTrackTimer, kTrackPeriod);
}

// Saves what the settings sheet edited and shows it on the bar at once.
void CBarDlg::ApplySettings(const PageRow& customRow)
{
    CBarApp* pApp = GetBarApp();
    pApp->SavePrivateData(m_Private);
    pApp->SaveUserString(m_UserString);
    pApp->SaveCustomPage(customRow);
    pApp->SaveAppStart(m_AppStart);
    pApp->SaveHotKey(m_HotKey);
    pApp->WriteProfileInt("Setting", "BkColor", static_cast<int>(m_BkColor));
    pApp->WriteProfileInt("Setting", "Pos", m_Pos);

    RemoveTooltips();
    SetButtonCaptions();
    AddTooltips();
    AssignButtonTexts();

    if (m_PageNo == kCustomPage) {
        ShowPageButtons(kCustomPage, SW_HIDE);
        g_PageTable[kCustomPage] = customRow;
        ShowPageButtons(kCustomPage, SW_SHOW);
        LayoutPage(kCustomPage, (m_Option & kOptionTitleStrip) != 0);
    } else {
        g_PageTable[kCustomPage] = customRow;
    }
    RegisterBarHotKey();
    Invalidate(TRUE);
}

// ---- Hot key --------------------------------------------------------------

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

void CBarDlg::OnHotKey()
{
    ::SetForegroundWindow(m_hWnd);
    if (m_HotKey.Do == 2) {
        const CRect r = GetWindowRect();
        ShowBarMenu(r.left, r.bottom);
    }
}

// ---- Pages ----------------------------------------------------------------

void CBarDlg::ShowPageButtons(int nPage, int nCmdShow)
{
    const PageRow& row = g_PageTable[nPage];
    if (row.nID[2] == IDC_TARGET) m_btnTarget.ShowWindow(SW_SHOW);
    for (int i = kFirstOwnSlot; i < row.nCount; ++i) {
        if (!IsPageButtonId(row.nID[i])) continue;
        ::Sleep(10);
        ::ShowWindow(GetDlgItem(row.nID[i]), nCmdShow);
    }
}

void CBarDlg::LayoutPage(int nPage, bool bStripShown)
{
    const PageRow& row = g_PageTable[nPage];
    const int y = bStripShown ? 16 : 0;
    auto dialogUnitsToPixels = [this](int x) {
        CRect r(x, 0, 0, 0);
        MapDialogRect(&r);
        return static_cast<int>(r.left);
    };
    auto widthOf = [](HWND hControl) {
        CRect r;
        ::GetWindowRect(hControl, &r);
        return r.Width();
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
            x += widthOf(hControl);
        }
        if (row.nID[2] == IDC_TARGET) {
            x += 5;
            moveTo(m_btnTarget, x);
            m_btnTarget.ShowWindow(SW_SHOW);
            x += widthOf(m_btnTarget) + 6;
        } else {
            m_btnTarget.ShowWindow(SW_HIDE);
            x += 6;
        }
        moveTo(m_btnNext, x);
        rightEdge = x + widthOf(m_btnNext);
    }

    m_stTarget.ShowWindow(bStripShown ? SW_SHOW : SW_HIDE);

    const CRect bar = GetWindowRect();
    const CRect prev = m_btnPrev.GetWindowRect();
    PlaceBar(bar.left, bar.top, rightEdge + 7, prev.bottom - bar.top + 2, SWP_SHOWWINDOW);
}

void CBarDlg::OnPagePrev()
{
    if (m_PageNo <= 1) return;
    const int oldPage = m_PageNo--;
    ShowPageButtons(oldPage, SW_HIDE);
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
    ShowPageButtons(m_PageNo, SW_SHOW);
    m_btnNext.EnableWindow(TRUE);
    if (m_PageNo == 1) {
        m_btnPrev.EnableWindow(FALSE);
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_btnNext.m_hWnd), TRUE);
    }
}

void CBarDlg::OnPageNext()
{
    if (m_PageNo >= kPageCount) return;
    const int oldPage = m_PageNo++;
    ShowPageButtons(oldPage, SW_HIDE);
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
    ShowPageButtons(m_PageNo, SW_SHOW);
    m_btnPrev.EnableWindow(TRUE);
    if (m_PageNo == kPageCount) {
        m_btnNext.EnableWindow(FALSE);
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_btnPrev.m_hWnd), TRUE);
    }
}

void CBarDlg::OnToggleTarget()
{
    m_Option ^= kOptionTitleStrip;
    LayoutPage(m_PageNo, (m_Option & kOptionTitleStrip) != 0);
}

// ---- Captions and tooltips ------------------------------------------------

void CBarDlg::SetButtonCaptions()
{
    for (int i = 0; i < kUserStringCount; ++i) ::SetDlgItemTextA(m_hWnd, UserStringId(i), m_UserString[i].Title);
    for (int i = 0; i < kAppStartCount; ++i) ::SetDlgItemTextA(m_hWnd, LaunchId(i), m_AppStart[i].Title);
}

namespace {
struct FixedTip {
    int id;
    const char* text;
};
constexpr FixedTip kFixedTips[] = {
    {IDC_TARGETTITLE, "Target"},  {IDC_PREV, "Page Down"},  {IDC_NEXT, "Page Up"},
    {IDC_TARGET, "Target表示/非表示"}, {IDC_FULLNAME, "氏名"}, {IDC_FAMILYNAME, "姓"},
    {IDC_GIVENNAME, "名"},        {IDC_ZIP, "郵便番号"},    {IDC_ADDRESS, "住所"},
    {IDC_PHONE, "電話番号"},      {IDC_MAIL, "Mail Address"}, {IDC_HOMEPAGE, "HomePage"},
};
}  // namespace

void CBarDlg::AddTooltips()
{
    for (const FixedTip& tip : kFixedTips) m_ToolTip.AddTool(GetDlgItem(tip.id), tip.text);
    for (int i = 0; i < kUserStringCount; ++i) m_ToolTip.AddTool(GetDlgItem(UserStringId(i)), m_UserString[i].Tip);
    for (int i = 0; i < kAppStartCount; ++i) m_ToolTip.AddTool(GetDlgItem(LaunchId(i)), m_AppStart[i].Tip);
    m_ToolTip.Activate(true);
}

void CBarDlg::RemoveTooltips()
{
    for (const FixedTip& tip : kFixedTips) m_ToolTip.DelTool(GetDlgItem(tip.id));
    for (int i = 0; i < kUserStringCount; ++i) m_ToolTip.DelTool(GetDlgItem(UserStringId(i)));
    for (int i = 0; i < kAppStartCount; ++i) m_ToolTip.DelTool(GetDlgItem(LaunchId(i)));
}

// ---- Delivery -------------------------------------------------------------

void CBarDlg::AssignButtonTexts()
{
    m_btnFullName.SetSendText(m_Private.Name1 + CString(" ") + m_Private.Name2);
    m_btnFamilyName.SetSendText(m_Private.Name1);
    m_btnGivenName.SetSendText(m_Private.Name2);
    m_btnZip.SetSendText(m_Private.AddressNo);
    m_btnAddress.SetSendText(m_Private.Address);
    m_btnPhone.SetSendText(m_Private.PhoneNo);
    m_btnMail.SetSendText(m_Private.EMail);
    m_btnHomePage.SetSendText(m_Private.Homepage);
    CTextButton* const strings[kUserStringCount] = {&m_btnString1, &m_btnString2, &m_btnString3, &m_btnString4,
                                                    &m_btnString5, &m_btnString6, &m_btnString7, &m_btnString8,
                                                    &m_btnString9, &m_btnString10};
    for (int i = 0; i < kUserStringCount; ++i) strings[i]->SetSendText(m_UserString[i].String);
}

void CBarDlg::DeliverText(CString text, HWND hWindow)
{
    if (hWindow == m_hWnd) return;
    // Dropped on one of the bar's own controls: nothing to do.
    if (hWindow && ::GetParent(hWindow) == m_hWnd) return;
    if (hWindow) m_pTarget.emplace(hWindow);
    PasteText(text);
}

void CBarDlg::PasteText(const CString& text)
{
    if (text.IsEmpty()) {
        MessageBox("代筆する文字が登録されていません。", nullptr, MB_ICONEXCLAMATION);
        return;
    }
    if (!ActivateTarget()) return;
    m_SendKey.SetText(text);
    m_SendKey.SendText(m_hWnd);
}

bool CBarDlg::ActivateTarget()
{
    if (!m_pTarget) return false;
    HWND hTarget = m_pTarget->m_hWnd;
    if (hTarget == m_hWnd || !::IsWindow(hTarget)) return false;
    // A child target (a drop on an edit field) is activated through its
    // top-level window, which by itself would give the focus back to the
    // control that had it last: hand the focus to the dropped-on control.
    HWND hTopLevel = ::GetAncestor(hTarget, GA_ROOT);
    if (!hTopLevel) hTopLevel = hTarget;
    if (!::SetForegroundWindow(hTopLevel)) return false;
    WaitUntilActive(hTopLevel);
    if (hTopLevel != hTarget) {
        CAttachedInput input(::GetWindowThreadProcessId(hTarget, nullptr));
        ::SetFocus(hTarget);
    }
    return true;
}

// SetForegroundWindow on another program's window may return before that
// program's thread has taken the activation; keys synthesized until then are
// thrown away, and its own activation would later restore its remembered
// focus over ours. Wait, briefly, until the thread has an active window and
// a focus window.
void CBarDlg::WaitUntilActive(HWND hTopLevel)
{
    const DWORD thread = ::GetWindowThreadProcessId(hTopLevel, nullptr);
    const ULONGLONG deadline = ::GetTickCount64() + 500;
    for (;;) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (::GetGUIThreadInfo(thread, &info)
            && info.hwndActive == hTopLevel && info.hwndFocus != nullptr)
            return;
        if (::GetTickCount64() >= deadline || !::IsWindow(hTopLevel)) return;
        ::Sleep(5);
    }
}

// ---- Launching and dropped files -----------------------------------------

void CBarDlg::LaunchApp(int k)
{
    const CString& appName = m_AppStart[k].AppName;
    if (appName.IsEmpty()) {
        MessageBox("起動するｱﾌﾟﾘｹｰｼｮﾝが登録されていません。", nullptr, MB_ICONEXCLAMATION);
        return;
    }
    // The whole stored string is the file: nothing is split off as arguments.
    HINSTANCE result = ::ShellExecuteA(m_hWnd, nullptr, appName, nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<UINT_PTR>(result) > 32) return;
    CString message;
    message.Format("%sの起動に失敗しました。", static_cast<LPCSTR>(appName));
    AfxMessageBox(message, MB_OK);
}

void CBarDlg::OnDropFiles(HDROP hDropInfo)
{
    CString path;
    {
        CDropHandle drop(hDropInfo);
        if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0) return;
        // The whole path, however long: never cut it at MAX_PATH.
        const UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
        std::string buffer(length + 1, '\0');
        const UINT got = ::DragQueryFileA(drop, 0, buffer.data(), length + 1);
        path = CString(buffer.data(), static_cast<int>(got));
    }
    m_SendKey.SetText(path);
    m_SendKey.SetClipboardText(m_hWnd);
}
