// The program's icons and cursors at the size each place asks for.
//
// Its icon and cursor resources hold an image drawn for every size the
// system uses; loaded at the exact size a place asks for at its DPI they
// stay sharp, where LoadIcon and LoadCursor take the size of the system's DPI
// and leave a monitor of another DPI a stretched copy.
#pragma once
#include <windows.h>

// A system metric (SM_CXICON, SM_CXSMICON, SM_CXCURSOR) at `nDpi`:
// GetSystemMetricsForDpi where it exists (Windows 10 1607 on), otherwise the
// metric at the system's DPI, scaled.
int AfxSystemMetricForDpi(int nIndex, UINT nDpi);
// The DPI a window is drawn for: its monitor's where the system knows
// per-monitor DPI, otherwise the screen's.
UINT AfxWindowDpi(HWND hWnd);

// An icon or a cursor of this module at a size of its own, destroyed with
// the object (such icons are never shared).
class CSizedIcon {
public:
    CSizedIcon() = default;
    // nType is IMAGE_ICON or IMAGE_CURSOR; nMetric the SM_CX... of its place.
    CSizedIcon(UINT nID, UINT nType, int nMetric, UINT nDpi);
    ~CSizedIcon() { Free(); }
    CSizedIcon(CSizedIcon&& other) noexcept;
    CSizedIcon& operator=(CSizedIcon&& other) noexcept;
    operator HICON() const { return m_hIcon; }

private:
    void Free();
    HICON m_hIcon = nullptr;
    UINT m_nType = IMAGE_ICON;
};

// A window's big and small icons for its DPI, kept as long as the window
// shows them (the object must outlive the window).
class CWindowIcons {
public:
    // Gives the window icon `nID` at the sizes its DPI asks for.
    void Apply(HWND hWnd, UINT nID);
    HICON Big() const { return m_big; }

private:
    CSizedIcon m_big, m_small;
};
