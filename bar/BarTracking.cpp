// CBarDlg: placing the bar, tracking the target window twice a second and
// docking at a corner of it.
#include "bar/BarDlg.h"

#include <dwmapi.h>

#include <algorithm>
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

void KeepDialogDpiToItself(HWND hDlg)
{
    using DialogFn = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    using ControlFn = BOOL(WINAPI*)(HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS);
    static const auto dialog = User32Function<DialogFn>("SetDialogDpiChangeBehavior");
    static const auto control = User32Function<ControlFn>("SetDialogControlDpiChangeBehavior");
    if (dialog) dialog(hDlg, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
    if (!control) return;
    const auto both = static_cast<DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS>(DCDC_DISABLE_FONT_UPDATE | DCDC_DISABLE_RELAYOUT);
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        control(hChild, both, both);
}

namespace {
// The frame the user sees: DWM's visible frame where it gives one.
const RECT& VisibleFrame(const TargetFrame& target)
{
    return target.visible && !::IsRectEmpty(&*target.visible) ? *target.visible : target.window;
}

// The screen x of the caption buttons' left edge, where DWM gave them. Its
// answer is undefined while a window is hidden: it counts only inside the
// window's own rectangle.
std::optional<LONG> CaptionButtonsLeft(const TargetFrame& target)
{
    if (!target.captionButtons) return std::nullopt;
    const RECT& b = *target.captionButtons;
    const RECT own{0, 0, target.window.right - target.window.left, target.window.bottom - target.window.top};
    RECT inside;
    if (::IsRectEmpty(&b) || !::IntersectRect(&inside, &b, &own) || !::EqualRect(&inside, &b)) return std::nullopt;
    return target.window.left + b.left;
}
}  // namespace

bool DockingPoint(int nPos, const TargetFrame& target, int width, int height, UINT nDpi, POINT* pTopLeft)
{
    const RECT& frame = VisibleFrame(target);
    switch (nPos) {
    case 0: *pTopLeft = {frame.left + ScaleToDpi(kDockTopLeftX, nDpi), frame.top}; return true;
    case 1: {
        LONG right = frame.right - ScaleToDpi(kDockTopRightX, nDpi);
        // Caption buttons wider than the offset allows for: left of them.
        if (const std::optional<LONG> buttons = CaptionButtonsLeft(target))
            right = std::min(right, *buttons - ScaleToDpi(kDockCaptionButtonsGap, nDpi));
        *pTopLeft = {right - width, frame.top};
        return true;
    }
    case 2: *pTopLeft = {frame.left + ScaleToDpi(kDockBottomLeftX, nDpi), frame.bottom - height}; return true;
    case 3:
        *pTopLeft = {frame.right - width - ScaleToDpi(kDockBottomRightX, nDpi), frame.bottom - height};
        return true;
    default: return false;  // a hand-edited corner: the bar stays put
    }
}

size_t MonitorOfRect(const RECT& rect, const std::vector<MonitorArea>& monitors)
{
    size_t best = 0;
    long long bestOverlap = -1, bestDistance = -1;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const RECT& m = monitors[i].rect;
        const long long w = std::min(rect.right, m.right) - std::max(rect.left, m.left);
        const long long h = std::min(rect.bottom, m.bottom) - std::max(rect.top, m.top);
        const long long overlap = (w > 0 && h > 0) ? w * h : 0;
        const long long dx = std::max({0L, m.left - rect.right, rect.left - m.right});
        const long long dy = std::max({0L, m.top - rect.bottom, rect.top - m.bottom});
        const long long distance = dx * dx + dy * dy;
        if (overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            best = i;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best;
}

bool DockedPlace(int nPos, const TargetFrame& target, const std::vector<MonitorArea>& monitors,
                 const std::function<SIZE(UINT nDpi)>& barSizeAt, RECT* pPlace)
{
    if (monitors.empty() || nPos < 0 || nPos > 3) return false;
    auto placeFor = [&](size_t i) {
        const SIZE size = barSizeAt(monitors[i].nDpi);
        POINT p{};
        DockingPoint(nPos, target, size.cx, size.cy, monitors[i].nDpi, &p);
        return RECT{p.x, p.y, p.x + size.cx, p.y + size.cy};
    };
    // The monitor of the target's corner is asked first: where the bar fits
    // on either side of an edge, it stays with that corner.
    const RECT& frame = VisibleFrame(target);
    const LONG cornerX = (nPos == 0 || nPos == 2) ? frame.left : frame.right - 1;
    const LONG cornerY = nPos < 2 ? frame.top : frame.bottom - 1;
    const size_t first = MonitorOfRect(RECT{cornerX, cornerY, cornerX + 1, cornerY + 1}, monitors);
    for (size_t k = 0; k < monitors.size(); ++k) {
        const size_t i = k == 0 ? first : (k <= first ? k - 1 : k);
        const RECT place = placeFor(i);
        if (MonitorOfRect(place, monitors) == i) {
            *pPlace = place;
            return true;
        }
    }
    // Sized for each monitor the bar would lie on another one (near an edge,
    // at one scale it crosses it, at the other it does not): keep the corner
    // monitor's top left and take the size of the monitor that lands on, so
    // the DPI change that follows moves nothing. The same place every tick.
    const RECT place = placeFor(first);
    const size_t landed = MonitorOfRect(place, monitors);
    const SIZE size = barSizeAt(monitors[landed].nDpi);
    const RECT resized{place.left, place.top, place.left + size.cx, place.top + size.cy};
    *pPlace = MonitorOfRect(resized, monitors) == landed ? resized : place;
    return true;
}

RECT StartPlace(POINT saved, const std::vector<MonitorArea>& monitors,
                const std::function<SIZE(UINT nDpi)>& barSizeAt)
{
    POINT p = saved;
    // Zero and negative coordinates are kept only where a monitor lies
    // there; otherwise they are damage, or a monitor that is gone.
    const bool leftOrAbove = std::any_of(monitors.begin(), monitors.end(), [&](const MonitorArea& m) {
        return (m.rect.left < 0 || m.rect.top < 0) && ::PtInRect(&m.rect, p);
    });
    if (!leftOrAbove) {
        if (p.x <= 0) p.x = 1;
        if (p.y <= 0) p.y = 1;
    }
    if (monitors.empty()) {
        const SIZE size = barSizeAt(kBaseDpi);
        return RECT{p.x, p.y, p.x + size.cx, p.y + size.cy};
    }
    auto sizedFor = [&](size_t i, POINT topLeft) {
        const SIZE size = barSizeAt(monitors[i].nDpi);
        return RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
    };
    RECT place = sizedFor(MonitorOfRect(RECT{p.x, p.y, p.x + 1, p.y + 1}, monitors), p);
    const size_t i = MonitorOfRect(place, monitors);
    place = sizedFor(i, p);
    const bool seen = std::any_of(monitors.begin(), monitors.end(), [&](const MonitorArea& m) {
        RECT overlap;
        return ::IntersectRect(&overlap, &place, &m.work) != FALSE;
    });
    if (seen) return place;
    // Nowhere to be seen, and with no taskbar button to get it back by: the
    // shortest move that brings it wholly into view (its left and top edges
    // first where it is larger than the work area).
    const RECT& work = monitors[i].work;
    const LONG x = std::max(work.left, std::min(p.x, work.right - (place.right - place.left)));
    const LONG y = std::max(work.top, std::min(p.y, work.bottom - (place.bottom - place.top)));
    return sizedFor(i, POINT{x, y});
}

namespace {
// GetDpiForMonitor of shcore.dll (Windows 8.1 on), or null.
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
DpiForMonitorFn DpiForMonitorFunction()
{
    // From the system folder only; kept for the life of the process. (Windows
    // 7 has neither the DLL nor, without an update, this flag: null there.)
    HMODULE hShcore = ::LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC proc = hShcore ? ::GetProcAddress(hShcore, "GetDpiForMonitor") : nullptr;
    return reinterpret_cast<DpiForMonitorFn>(reinterpret_cast<void*>(proc));
}
}  // namespace

std::vector<MonitorArea> SystemMonitors(UINT nFallbackDpi)
{
    struct Search {
        UINT nFallbackDpi;
        std::vector<MonitorArea> monitors;
    } search{nFallbackDpi, {}};
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam) -> BOOL {
            static const DpiForMonitorFn dpiForMonitor = DpiForMonitorFunction();
            auto* s = reinterpret_cast<Search*>(lParam);
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (!::GetMonitorInfoA(hMonitor, &info)) return TRUE;
            UINT dpiX = 0, dpiY = 0;
            const bool known = dpiForMonitor && SUCCEEDED(dpiForMonitor(hMonitor, 0 /* effective */, &dpiX, &dpiY)) && dpiY;
            s->monitors.push_back({info.rcMonitor, info.rcWork, known ? dpiY : s->nFallbackDpi});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.monitors;
}

namespace {
using DwmAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
// DwmGetWindowAttribute of dwmapi.dll (Vista on), or null. From the system
// folder only, loaded at the first docking and kept: the program's imports
// stay as they are, and it still starts where there is no DWM.
DwmAttributeFn DwmAttributeFunction()
{
    char path[MAX_PATH + 16] = {};
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    ::lstrcatA(path, "\\dwmapi.dll");
    HMODULE hDwm = ::LoadLibraryA(path);
    FARPROC proc = hDwm ? ::GetProcAddress(hDwm, "DwmGetWindowAttribute") : nullptr;
    return reinterpret_cast<DwmAttributeFn>(reinterpret_cast<void*>(proc));
}

// A rectangle DWM tells of a window; none without composition (Windows 7
// classic) or where it does not know it (Wine).
std::optional<RECT> DwmRect(HWND hWnd, DWORD dwAttribute)
{
    static const DwmAttributeFn dwmAttribute = DwmAttributeFunction();
    RECT rect{};
    if (!dwmAttribute || FAILED(dwmAttribute(hWnd, dwAttribute, &rect, sizeof rect))) return std::nullopt;
    return rect;
}
}  // namespace

std::optional<TargetFrame> MeasureTarget(HWND hTarget)
{
    TargetFrame target{};
    if (!::GetWindowRect(hTarget, &target.window)) return std::nullopt;
    target.visible = DwmRect(hTarget, DWMWA_EXTENDED_FRAME_BOUNDS);
    target.captionButtons = DwmRect(hTarget, DWMWA_CAPTION_BUTTON_BOUNDS);
    return target;
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

bool IsShellWindowClass(const char* className)
{
    // The desktop (Progman; WorkerW after Show desktop or a click on it) and
    // the taskbars of the main and the other monitors.
    for (const char* shell : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"})
        if (::lstrcmpiA(className, shell) == 0) return true;
    return false;
}

namespace {
bool IsShellWindow(HWND hWindow)
{
    char className[256] = "";
    return ::GetClassNameA(hWindow, className, sizeof className) > 0 && IsShellWindowClass(className);
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
    } else if (hForeground != m_hWnd && hForeground != m_hProgMan && hForeground != m_hTrayWnd
               && !IsShellWindow(hForeground)) {
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
    const std::optional<TargetFrame> target = MeasureTarget(hTarget);
    if (!target) return;
    std::vector<MonitorArea> monitors = SystemMonitors(WindowDpi(nullptr));
    if (monitors.empty()) monitors.push_back({target->window, target->window, m_nDpi});
    RECT place;
    if (!DockedPlace(m_Pos, *target, monitors, [this](UINT nDpi) { return BarSizeAt(nDpi); }, &place)) return;
    const CRect bar = GetWindowRect();
    if (place.left == bar.left && place.top == bar.top && place.right == bar.right && place.bottom == bar.bottom) return;
    PlaceBarAt(place, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void CBarDlg::PlaceBarAt(const RECT& place, UINT nFlags)
{
    m_placeUnderWay = place;
    PlaceBar(place.left, place.top, place.right - place.left, place.bottom - place.top, nFlags);
    m_placeUnderWay.reset();
}
