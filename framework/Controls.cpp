#include "framework/Controls.h"

CToolTipCtrl::~CToolTipCtrl()
{
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    HWND hWnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    return hWnd && SubclassWindow(hWnd);
}

TOOLINFOA CToolTipCtrl::ToolInfo(HWND hTool) const
{
    TOOLINFOA ti{};
    // The size every comctl32 version accepts (no lpReserved).
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    HWND hParent = ::GetParent(hTool);
    ti.hwnd = (hParent && (::GetWindowLongA(hTool, GWL_STYLE) & WS_CHILD)) ? hParent : hTool;
    ti.uId = reinterpret_cast<UINT_PTR>(hTool);
    return ti;
}

bool CToolTipCtrl::AddTool(HWND hTool, LPCSTR lpszText) const
{
    TOOLINFOA ti = ToolInfo(hTool);
    ti.lpszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    return SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void CToolTipCtrl::DelTool(HWND hTool) const
{
    TOOLINFOA ti = ToolInfo(hTool);
    SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}
