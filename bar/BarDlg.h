// CBarDlg: the floating bar, the program's main window. It holds every
// setting in memory, tracks the target window, shows one page of buttons at
// a time and delivers texts into the target.
//
// Its definitions are split by concern: BarDlg.cpp (construction, settings,
// start-up), BarTracking.cpp, BarFrame.cpp (painting, menu, keys, hot key),
// BarPages.cpp, BarCaptions.cpp, BarDelivery.cpp, BarClipboard.cpp,
// BarSettings.cpp.
#pragma once
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "bar/PageTable.h"
#include "bar/Records.h"
#include "bar/TextButton.h"
#include "delivery/ClipboardKeeper.h"
#include "delivery/SendKey.h"
#include "framework/Afx.h"
#include "framework/DialogTemplate.h"

// Bits of m_Option.
constexpr int kOptionTitleStrip = 0x01;
constexpr int kOptionFollowTarget = 0x04;
constexpr int kOptionNotTopmost = 0x08;

constexpr UINT_PTR kTrackTimer = 1;
constexpr UINT kTrackPeriod = 500;
// Runs only while a paste that gives the clipboard back is pending.
constexpr UINT_PTR kClipboardTimer = 2;
constexpr int kHotKeyId = 110;
// Posted by the bar to itself to finish its start.
constexpr UINT kMakeTooltipsMessage = WM_APP + 1;
// The DPI at which a pixel is a pixel: the bar's fixed numbers are given for it.
constexpr UINT kBaseDpi = 96;

class CBarDlg : public CDialog {
public:
    explicit CBarDlg(CWnd* pParent = nullptr);
    ~CBarDlg() override = default;

    // Moves or sizes the bar; the only way it moves. Applies "kept on top".
    void PlaceBar(int x, int y, int cx, int cy, UINT nFlags);
    // A pixel number of BarMetrics.h at the DPI the bar is laid out for.
    int ScalePixels(int nPixels) const;
    void ShowBarMenu(int x, int y);
    // Delivers `text` into `hWindow` (which becomes the target), or into the
    // current target when hWindow is null.
    void DeliverText(CString text, HWND hWindow);

    // Page layout.
    void ShowPageButtons(int nPage, int nCmdShow);
    void LayoutPage(int nPage, bool bStripShown);

    // Captions, tooltips, button texts, hot key: redone after the settings
    // change.
    void SetButtonCaptions();
    void AddTooltips();
    void RemoveTooltips();
    void AssignButtonTexts();
    void RegisterBarHotKey();

    CToolTipCtrl m_ToolTip;
    std::optional<CWnd> m_pTarget;  // a handle holder: the target is another program's window
    HWND m_hProgMan = nullptr;
    HWND m_hTrayWnd = nullptr;
    PrivateData m_Private;
    UserStringEntry m_UserString[kUserStringCount];
    AppStartEntry m_AppStart[kAppStartCount];
    COLORREF m_BkColor = 0;
    int m_Pos = 0;
    HotKeyData m_HotKey;
    CClipBoardSendKey m_SendKey;
    int m_Option = 0;
    int m_KeepClipboard = 0;  // give the clipboard back after each paste
    CClipboardKeeper m_ClipKeeper{kClipboardTimer};
    int m_PageNo = 1;
    CString m_strTarget;
    CButton m_btnTarget;
    CButton m_btnNext;
    CButton m_btnPrev;
    CStatic m_stTarget;
    CTextButton m_btnString10, m_btnString9, m_btnString8, m_btnString7, m_btnString6;
    CTextButton m_btnString5, m_btnString4, m_btnString3, m_btnString2;
    CTextButton m_btnString1;
    CTextButton m_btnHomePage, m_btnMail, m_btnPhone, m_btnAddress, m_btnZip;
    CTextButton m_btnFullName, m_btnGivenName, m_btnFamilyName;
    HICON m_hIcon = nullptr;  // the big one of m_icons

    // The text buttons' drag cursor, at the bar's DPI.
    HCURSOR DragCursor() const { return m_dragCursor; }

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    // The end of the start: tooltips, then the hot key.
    LRESULT OnMakeTooltips(WPARAM, LPARAM);

    void OnPaint();
    BOOL OnEraseBkgnd(HDC hDC);
    HCURSOR OnQueryDragIcon();
    LRESULT OnNcHitTest(CPoint point);
    void OnNcRButtonDown(UINT nHitTest, CPoint point);
    void OnNcRButtonUp(UINT nHitTest, CPoint point);
    void OnContextMenu(HWND hWnd, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDropFiles(HDROP hDropInfo);
    void OnDestroy();
    BOOL OnQueryEndSession();
    void OnSysColorChange();
    void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    void OnHotKey();
    void OnRenderFormat(UINT nFormat);
    void OnRenderAllFormats();
    void OnDestroyClipboard();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDpiScaledSize(WPARAM wParam, LPARAM lParam);

    void OnAbout();
    void OnSettings();
    void OnToggleTarget();
    void OnPagePrev();
    void OnPageNext();
    void OnLaunch1() { LaunchApp(0); }
    void OnLaunch2() { LaunchApp(1); }
    void OnLaunch3() { LaunchApp(2); }
    void OnLaunch4() { LaunchApp(3); }
    void OnLaunch5() { LaunchApp(4); }
    void OnLaunch6() { LaunchApp(5); }
    void OnLaunch7() { LaunchApp(6); }
    void OnLaunch8() { LaunchApp(7); }
    void OnLaunch9() { LaunchApp(8); }
    void OnLaunch10() { LaunchApp(9); }

private:
    void LoadProfile();
    COLORREF BarColour() const;
    // Classic faces for the bar's buttons under visual styles.
    void KeepClassicButtons();
    // The bar's icons and drag cursor at its DPI.
    void UseIcons();
    void ApplySettings(const PageRow& customRow);
    void InitPlacement();
    void SaveBarState();
    void FollowTarget();
    void OnClipboardTimer();
    void PasteText(const CString& text);
    bool ActivateTarget();
    bool WaitUntilActive(HWND hTopLevel);
    void LaunchApp(int k);
    void StepPage(int nStep);
    template <typename Visit>
    void ForEachTooltip(Visit visit);
    void RelayToToolTip(MSG* pMsg);
    // The menu position for the keyboard: 5 px into the client area.
    CPoint KeyboardMenuPoint() const;
    HWND OpenDialog() const;
    // The button the hot key gives the keyboard to, or null.
    HWND FirstPageButton() const;

    // Where a page's controls go and how large the bar is around them, at
    // one DPI: sizes and positions both from the template's dialog units in
    // the bar's font at that DPI, so a bar that moved to a monitor matches
    // one started there.
    struct PageLayout {
        std::vector<std::pair<int, CRect>> controls;  // id, client rectangle
        bool bTarget = true;                          // 的 shows (the custom page may drop it)
        SIZE size{0, 0};                              // the bar's window
    };
    PageLayout ComputeLayout(int nPage, bool bStripShown, UINT nDpi) const;
    SIZE BarSizeAt(UINT nDpi) const;
    CDialogBase BaseAt(UINT nDpi) const;
    int FrameTop(UINT nDpi) const;
    // Makes the bar's font for `nDpi` and sizes every control from the template.
    void UseDpi(UINT nDpi);
    bool IsDialogManagerLayout() const;
    // Moves the bar where it is meant to be; a WM_DPICHANGED raised by the
    // move keeps that place rather than the system's suggestion.
    void PlaceBarAt(const RECT& place, UINT nFlags);

    CWindowIcons m_icons;
    CSizedIcon m_dragCursor;
    bool m_bMenuOpen = false;     // the bar's menu is being shown
    bool m_bNcMenuShown = false;  // a right-button release on the frame opened the menu
    // The DPI the bar's dialog font and controls were made for; the pixel
    // numbers of the layout and docking scale with it.
    UINT m_nDpi = kBaseDpi;
    CDialogTemplate m_template;
    CFont m_font;  // the controls' font at m_nDpi
    CDialogBase m_base;
    mutable std::vector<std::pair<UINT, CDialogBase>> m_otherBases;  // other monitors' DPIs, measured once
    std::optional<RECT> m_placeUnderWay;
};

// The virtual-key code for a hot key name ("A".."Z", "F1".."F13"), or 0.
UINT KeyNameToVirtualKey(const CString& name);

// The colour the bar's surface is painted: the stored one, or while high
// contrast is on the system's button face, so the user's colours hold on the
// bar too.
COLORREF BarSurfaceColour(COLORREF stored, bool bHighContrast);
// Whether the user has high contrast switched on.
bool IsHighContrastOn();

// The target window as docking measures it: its window rectangle and, where
// DWM tells them (Vista on, with composition), its visible frame in screen
// pixels (Windows 10 and 11 draw an invisible resize border outside it) and
// its caption buttons relative to the window rectangle.
struct TargetFrame {
    RECT window;
    std::optional<RECT> visible{};
    std::optional<RECT> captionButtons{};
};
// The target as the system shows it now; none for a window that is gone.
std::optional<TargetFrame> MeasureTarget(HWND hTarget);

// Where the bar docks at corner `nPos` of `target` when the bar is `width` x
// `height` and laid out for `nDpi`: the fixed offsets from the visible frame,
// and at the top right never over the caption buttons. False for a corner
// that does not exist.
bool DockingPoint(int nPos, const TargetFrame& target, int width, int height, UINT nDpi, POINT* pTopLeft);

// A monitor as placing the bar sees it: its rectangle, its work area (without
// the taskbar and docked bars) and its DPI.
struct MonitorArea {
    RECT rect;
    RECT work;
    UINT nDpi;
};
// The monitor a rectangle lies on, as the system picks it for a window: the
// one it overlaps most, else the nearest. An index into `monitors`.
size_t MonitorOfRect(const RECT& rect, const std::vector<MonitorArea>& monitors);
// Where the bar docks at corner `nPos` of `target`: sized and offset for the
// DPI of the monitor the docked bar then lies on, so that the DPI change the
// move brings leaves it in place. The same target and monitors always give
// the same place, whatever the bar's size now. False for a corner that does
// not exist or no monitor.
bool DockedPlace(int nPos, const TargetFrame& target, const std::vector<MonitorArea>& monitors,
                 const std::function<SIZE(UINT nDpi)>& barSizeAt, RECT* pPlace);
// Where the bar starts from its saved top left `saved`, sized for the DPI of
// the monitor it then lies on. A point on a monitor left of or above the main
// one is kept; elsewhere a coordinate of zero or less becomes 1. A bar that
// would overlap no monitor's work area (its monitor is gone) comes wholly
// inside the work area of the nearest monitor, moved as little as it can be;
// one only partly off an edge stays.
RECT StartPlace(POINT saved, const std::vector<MonitorArea>& monitors,
                const std::function<SIZE(UINT nDpi)>& barSizeAt);
// The system's monitors; each at `nFallbackDpi` where the system cannot tell
// a monitor's own DPI (before Windows 8.1).
std::vector<MonitorArea> SystemMonitors(UINT nFallbackDpi);

// The desktop and the taskbars of the shell, by window class: never a target.
bool IsShellWindowClass(const char* className);

// `nPixels` at 96 DPI scaled to `nDpi`, rounded to the nearest pixel. Every
// pixel number the bar adds scales through here, so all round alike.
int ScaleToDpi(int nPixels, UINT nDpi);
// The DPI of a window: its monitor's where the system knows per-monitor DPI
// (Windows 10 1607 on), otherwise the screen's.
UINT WindowDpi(HWND hWnd);
// Stops the dialog manager from rescaling this dialog and its controls on a
// DPI change (per-monitor v2, Windows 10 1803 on): the bar lays itself out,
// the same way on every system.
void KeepDialogDpiToItself(HWND hDlg);
