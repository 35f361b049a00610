#include "framework/Icons.h"

#include <utility>

#include "framework/WinApp.h"

namespace {
// A function of user32 that older systems lack (the program still starts on
// Windows 7), or null.
template <typename Function>
Function User32Function(const char* name)
{
    FARPROC proc = ::GetProcAddress(::GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

UINT ScreenDpi()
{
    HDC hScreen = ::GetDC(nullptr);
    const int dpi = hScreen ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : 0;
    if (hScreen) ::ReleaseDC(nullptr, hScreen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}
}  // namespace

int AfxSystemMetricForDpi(int nIndex, UINT nDpi)
{
    using Fn = int(WINAPI*)(int, UINT);
    static const Fn fn = User32Function<Fn>("GetSystemMetricsForDpi");
    if (fn) return fn(nIndex, nDpi);
    return ::MulDiv(::GetSystemMetrics(nIndex), static_cast<int>(nDpi), static_cast<int>(ScreenDpi()));
}

UINT AfxWindowDpi(HWND hWnd)
{
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn fn = User32Function<Fn>("GetDpiForWindow");
    const UINT dpi = fn ? fn(hWnd) : 0;
    return dpi ? dpi : ScreenDpi();
}

CSizedIcon::CSizedIcon(UINT nID, UINT nType, int nMetric, UINT nDpi) : m_nType(nType)
{
    const int size = AfxSystemMetricForDpi(nMetric, nDpi);
    // The image of that size, or the nearest one scaled; never LR_SHARED,
    // which is for the system's own sizes only.
    m_hIcon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nID), nType, size, size, 0));
}

CSizedIcon::CSizedIcon(CSizedIcon&& other) noexcept
    : m_hIcon(std::exchange(other.m_hIcon, nullptr)), m_nType(other.m_nType)
{
}

CSizedIcon& CSizedIcon::operator=(CSizedIcon&& other) noexcept
{
    if (this != &other) {
        Free();
        m_hIcon = std::exchange(other.m_hIcon, nullptr);
        m_nType = other.m_nType;
    }
    return *this;
}

void CSizedIcon::Free()
{
    if (!m_hIcon) return;
    if (m_nType == IMAGE_CURSOR)
        ::DestroyCursor(m_hIcon);
    else
        ::DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
}

void CWindowIcons::Apply(HWND hWnd, UINT nID)
{
    const UINT dpi = AfxWindowDpi(hWnd);
    CSizedIcon big(nID, IMAGE_ICON, SM_CXICON, dpi);
    CSizedIcon small(nID, IMAGE_ICON, SM_CXSMICON, dpi);
    ::SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(big)));
    ::SendMessageA(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(small)));
    // The window has let go of the old ones: they may go now.
    m_big = std::move(big);
    m_small = std::move(small);
}
