// CBarDlg: construction, the settings it loads and saves, and start-up.
// The bar's other concerns live beside it: BarTracking.cpp (the target and
// docking), BarFrame.cpp (painting, menu, keys, hot key), BarPages.cpp (pages
// and layout), BarCaptions.cpp (captions and tooltips), BarDelivery.cpp
// (pasting, launching, dropped files) and BarSettings.cpp (the settings
// sheet and the about box).
#include "bar/BarDlg.h"

#include "app/BarApp.h"
#include "app/GetComma.h"
#include "bar/BarMetrics.h"
#include "framework/Library.h"
#include "resources/resource.h"

// Sent from Windows 10 1703 on; the headers give it only to newer builds.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

BEGIN_MESSAGE_MAP(CBarDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_QUERYDRAGICON()
    ON_WM_NCHITTEST()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCRBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_GETDPISCALEDSIZE, OnGetDpiScaledSize)
    ON_WM_DROPFILES()
    ON_WM_DESTROY()
    ON_WM_QUERYENDSESSION()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
    ON_MESSAGE(kMakeTooltipsMessage, OnMakeTooltips)
    ON_WM_HOTKEY()
    ON_WM_RENDERFORMAT()
    ON_WM_RENDERALLFORMATS()
    ON_WM_DESTROYCLIPBOARD()
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_COMMAND(ID_SETTINGS, OnSettings)
    ON_COMMAND(IDC_TARGET, OnToggleTarget)
    ON_COMMAND(IDC_PREV, OnPagePrev)
    ON_COMMAND(IDC_NEXT, OnPageNext)
    ON_COMMAND(IDC_LAUNCH1, OnLaunch1)
    ON_COMMAND(IDC_LAUNCH2, OnLaunch2)
    ON_COMMAND(IDC_LAUNCH3, OnLaunch3)
    ON_COMMAND(IDC_LAUNCH4, OnLaunch4)
    ON_COMMAND(IDC_LAUNCH5, OnLaunch5)
    ON_COMMAND(IDC_LAUNCH6, OnLaunch6)
    ON_COMMAND(IDC_LAUNCH7, OnLaunch7)
    ON_COMMAND(IDC_LAUNCH8, OnLaunch8)
    ON_COMMAND(IDC_LAUNCH9, OnLaunch9)
    ON_COMMAND(IDC_LAUNCH10, OnLaunch10)
END_MESSAGE_MAP()

CBarDlg::CBarDlg(CWnd* pParent) : CDialog(IDD_BAR, pParent)
{
    LoadProfile();
}

void CBarDlg::LoadProfile()
{
    CBarApp* pApp = GetBarApp();
    const CWinApp::CProfileBatch batch(pApp);
    pApp->LoadPrivateData(m_Private);
    pApp->LoadUserString(m_UserString);
    pApp->LoadAppStart(m_AppStart);
    pApp->LoadCustomPage(g_PageTable[kCustomPage]);
    pApp->LoadHotKey(m_HotKey);
    m_PageNo = static_cast<int>(pApp->GetProfileInt("Setting", "PageNo", 1));
    m_Option = static_cast<int>(pApp->GetProfileInt("Setting", "Option", 1));
    m_BkColor = pApp->GetProfileInt("Setting", "BkColor", 0xFF8080);
    m_Pos = static_cast<int>(pApp->GetProfileInt("Setting", "Pos", 0));
    m_KeepClipboard = pApp->GetProfileInt("Setting", "KeepClipboard", 0) ? 1 : 0;
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
    SetTimer(kTrackTimer, kTrackPeriod);

    CString title;
    title.LoadString(IDS_BARTITLE);
    SetWindowText(title);

    KeepClassicButtons();
    // The bar lays itself out from its template at its DPI, as after a move
    // to a monitor of another DPI; the dialog manager's scaling stays out.
    m_template.Load(AfxGetInstanceHandle(), IDD_BAR);
    KeepDialogDpiToItself(m_hWnd);
    m_nDpi = WindowDpi(m_hWnd);
    InitPlacement();
    UseIcons();
    if (m_PageNo == 1) m_btnPrev.EnableWindow(FALSE);
    if (m_PageNo == kPageCount) m_btnNext.EnableWindow(FALSE);

    SetButtonCaptions();
    AssignButtonTexts();
    // The tooltips need the common controls, loaded at their first use: the
    // bar shows and lays out before that.
    PostMessage(kMakeTooltipsMessage);
    return FALSE;
}

// Themed faces keep content margins that the 11-unit buttons cannot spare:
// the bar's buttons keep the classic face, before they first show.
void CBarDlg::KeepClassicButtons()
{
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        char className[64] = {};
        const int length = ::GetClassNameA(hChild, className, sizeof className);
        // A versioned class name ends in its base name ("6.0...!Button").
        if (length >= 6 && lstrcmpiA(className + length - 6, "Button") == 0) AfxSetClassicLook(hChild);
    }
}

void CBarDlg::UseIcons()
{
    m_icons.Apply(m_hWnd, IDI_TAVRIN);
    m_hIcon = m_icons.Big();
    m_dragCursor = CSizedIcon(IDC_DRAGCURSOR, IMAGE_CURSOR, SM_CXCURSOR, m_nDpi);
}

// Posted by OnInitDialog, so it comes before any input the bar gets.
LRESULT CBarDlg::OnMakeTooltips(WPARAM, LPARAM)
{
    m_ToolTip.Create(this, TTS_ALWAYSTIP);
    m_ToolTip.Activate(true);
    m_ToolTip.SetDelayTime(TTDT_AUTOMATIC, 300);
    CString barTip;
    barTip.LoadString(IDS_BARTIP);
    m_ToolTip.AddTool(m_hWnd, barTip);
    AddTooltips();
    // Only now: the hot key can open the settings sheet, whose OK redoes
    // the tooltips.
    RegisterBarHotKey();
    return 0;
}

namespace {
// The monitors the bar may start on. With one, its DPI is the one the bar
// already has: no need to load the per-monitor DPI function at every start.
std::vector<MonitorArea> MonitorsAtStart(HWND hBar, UINT nDpi)
{
    if (::GetSystemMetrics(SM_CMONITORS) > 1) {
        std::vector<MonitorArea> monitors = SystemMonitors(WindowDpi(nullptr));
        if (!monitors.empty()) return monitors;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(::MonitorFromWindow(hBar, MONITOR_DEFAULTTOPRIMARY), &info)) return {};
    return {MonitorArea{info.rcMonitor, info.rcWork, nDpi}};
}
}  // namespace

void CBarDlg::InitPlacement()
{
    CGetComma position;
    position.SetString(GetBarApp()->GetProfileString("Setting", "Position", "100,100"));
    // Start on screen, at the size for the monitor the place lies on, which
    // may not be the one the system made the bar on.
    const std::vector<MonitorArea> monitors = MonitorsAtStart(m_hWnd, m_nDpi);
    const RECT start = StartPlace(POINT{position.GetValue(0), position.GetValue(1)}, monitors,
                                  [this](UINT nDpi) { return BarSizeAt(nDpi); });
    const int x = start.left;
    const int y = start.top;
    const UINT dpi = monitors.empty() ? m_nDpi : monitors[MonitorOfRect(start, monitors)].nDpi;
    UseDpi(dpi);
    PlaceBarAt(RECT{x, y, x + GetWindowRect().Width(), y + ScalePixels(kProvisionalHeight)}, SWP_SHOWWINDOW);

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
