// Geometry values and RAII wrappers for the GDI and USER objects that a
// handler acquires: each is released when the wrapper leaves scope, on every
// path.
#pragma once
#include <windows.h>

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int px, int py) : POINT{px, py} {}
    // The point packed into a message's LPARAM (signed 16-bit halves).
    explicit CPoint(LPARAM lParam)
        : POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))} {}
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// BeginPaint/EndPaint for one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::BeginPaint(hWnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }
    const PAINTSTRUCT& Paint() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};

// A window's client-area device context outside WM_PAINT (GetDC), released
// with the wrapper.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CClientDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A solid brush, deleted with the wrapper.
class CBrush {
public:
    explicit CBrush(COLORREF color) : m_hBrush(::CreateSolidBrush(color)) {}
    ~CBrush() { if (m_hBrush) ::DeleteObject(m_hBrush); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;
    operator HBRUSH() const { return m_hBrush; }

private:
    HBRUSH m_hBrush;
};

// A menu loaded from this module's resources, destroyed with the wrapper.
class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    bool LoadMenu(UINT nIDResource)
    {
        DestroyMenu();
        m_hMenu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource));
        return m_hMenu != nullptr;
    }
    HMENU GetSubMenu(int nPos) const { return m_hMenu ? ::GetSubMenu(m_hMenu, nPos) : nullptr; }
    void DestroyMenu()
    {
        if (m_hMenu) ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
    }
    operator HMENU() const { return m_hMenu; }

private:
    HMENU m_hMenu = nullptr;
};

// A font, deleted with the wrapper (or when another takes its place).
class CFont {
public:
    CFont() = default;
    ~CFont() { Reset(nullptr); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    void Reset(HFONT hFont)
    {
        if (m_hFont) ::DeleteObject(m_hFont);
        m_hFont = hFont;
    }
    // Gives the font up without deleting it.
    HFONT Detach()
    {
        HFONT hFont = m_hFont;
        m_hFont = nullptr;
        return hFont;
    }
    operator HFONT() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};
