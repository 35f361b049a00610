#include "framework/Controls.h"

#include <vssym32.h>

#include "framework/Library.h"

CToolTipCtrl::~CToolTipCtrl()
{
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    if (!AfxInitCommonControls()) return false;
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

// ---- CListBox / CCheckListBox ----------------------------------------------

CString CListBox::GetText(int nIndex) const
{
    const int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
    if (length <= 0) return CString();
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int got = static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer.data())));
    return got > 0 ? CString(buffer.data(), got) : CString();
}

BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
    ON_MESSAGE(WM_REFLECT_BASE + WM_DRAWITEM, OnDrawItem)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
END_MESSAGE_MAP()

int CCheckListBox::GetCheck(int nIndex) const
{
    const LRESULT data = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex));
    return data == LB_ERR ? 0 : static_cast<int>(data);
}

void CCheckListBox::SetCheck(int nIndex, int nCheck) const
{
    if (SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), nCheck) == LB_ERR) return;
    RECT item;
    if (SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        ::InvalidateRect(m_hWnd, &item, FALSE);
}

int CCheckListBox::CheckColumnWidth() const
{
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, 0));
}

void CCheckListBox::Toggle(int nIndex) const
{
    SetCheck(nIndex, GetCheck(nIndex) == 1 ? 0 : 1);
}

// The visual style's check box while one is active, as the page's other
// check boxes draw theirs; the classic flat box otherwise.
void CCheckListBox::DrawCheckBox(HDC hDC, const RECT& cell, bool bChecked) const
{
    RECT frame = cell;
    ::InflateRect(&frame, -2, -2);
    const CThemeData theme(m_hWnd, L"BUTTON");
    if (!theme) {
        ::DrawFrameControl(hDC, &frame, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (bChecked ? DFCS_CHECKED : 0));
        return;
    }
    const int state = bChecked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
    // At its own size, centred, unless the row is too low for it.
    const SIZE size = theme.PartSize(hDC, BP_CHECKBOX, state);
    if (size.cx > 0 && size.cy > 0 && size.cx <= cell.right - cell.left && size.cy <= cell.bottom - cell.top) {
        frame.left = (cell.left + cell.right - size.cx) / 2;
        frame.top = (cell.top + cell.bottom - size.cy) / 2;
        frame.right = frame.left + size.cx;
        frame.bottom = frame.top + size.cy;
    }
    theme.DrawBackground(hDC, BP_CHECKBOX, state, frame);
}

LRESULT CCheckListBox::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto* pDraw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (static_cast<int>(pDraw->itemID) < 0) return TRUE;
    HDC hDC = pDraw->hDC;
    const RECT& rc = pDraw->rcItem;
    const int box = rc.bottom - rc.top;

    // The check box: a square at the left, ticked when checked.
    RECT boxRect{rc.left, rc.top, rc.left + box, rc.bottom};
    ::FillRect(hDC, &boxRect, ::GetSysColorBrush(COLOR_WINDOW));
    DrawCheckBox(hDC, boxRect, static_cast<int>(pDraw->itemData) == 1);

    // The text, selected or not.
    RECT text{rc.left + box, rc.top, rc.right, rc.bottom};
    const bool selected = (pDraw->itemState & ODS_SELECTED) != 0;
    ::FillRect(hDC, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const CString label = GetText(static_cast<int>(pDraw->itemID));
    const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textInset = text;
    textInset.left += 2;
    ::DrawTextA(hDC, label, label.GetLength(), &textInset, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
    if (pDraw->itemState & ODS_FOCUS) ::DrawFocusRect(hDC, &text);
    return TRUE;
}

void CCheckListBox::OnLButtonDown(UINT, CPoint point)
{
    const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    const int index = LOWORD(hit);
    // HIWORD set: the point lies below the last item.
    if (HIWORD(hit) == 0 && point.x < CheckColumnWidth()) Toggle(index);
    Default();
}

// The list has CS_DBLCLKS, so the second of two quick clicks arrives as a
// double click: on a box it is a second toggle.
void CCheckListBox::OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }

LRESULT CCheckListBox::OnKeyDown(WPARAM wParam, LPARAM)
{
    if (wParam == VK_SPACE) {
        const int index = static_cast<int>(SendMessage(LB_GETCARETINDEX));
        if (index >= 0 && index < GetCount()) Toggle(index);
        return 0;
    }
    return Default();
}

// ---- CColorDialog ----------------------------------------------------------

COLORREF CColorDialog::s_customColors[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
};

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
{
    m_cc.lStructSize = sizeof m_cc;
    m_cc.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_cc.rgbResult = clrInit;
    m_cc.lpCustColors = s_customColors;
    m_cc.Flags = dwFlags | CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal()
{
    // Without an owner the dialog belongs to the active window of this
    // thread, which the system disables meanwhile.
    if (!m_cc.hwndOwner) m_cc.hwndOwner = ::GetActiveWindow();
    return AfxChooseColor(&m_cc) ? IDOK : IDCANCEL;
}
