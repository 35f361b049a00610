#include "bar/TextButton.h"

#include "bar/BarDlg.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CTextButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

namespace {
CBarDlg* BarOf(const CWnd& button) { return static_cast<CBarDlg*>(CWnd::FromHandlePermanent(button.GetParent())); }
}  // namespace

// Clicks that do not come through the mouse handlers below, such as the
// space bar on a focused button.
void CTextButton::OnClicked()
{
    if (m_bSuppressClick) return;
    if (CBarDlg* pBar = BarOf(*this)) pBar->DeliverText(m_strSendText, nullptr);
}

void CTextButton::OnLButtonDown(UINT, CPoint)
{
    // The bar's, drawn for its DPI; the system-sized one if it has none.
    const CBarDlg* pBar = BarOf(*this);
    HCURSOR hDrag = pBar ? pBar->DragCursor() : nullptr;
    if (!hDrag) hDrag = ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_DRAGCURSOR));
    m_hOldCursor = ::SetCursor(hDrag);
    Default();  // pressed look, focus and mouse capture
}

// Buttons have CS_DBLCLKS: the second of two quick presses arrives as a
// double click, and is a press like any other (it may start a drag too).
void CTextButton::OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }

void CTextButton::OnLButtonUp(UINT, CPoint)
{
    const bool dragging = m_hOldCursor != nullptr;
    if (dragging) {
        ::SetCursor(m_hOldCursor);
        m_hOldCursor = nullptr;
        DropText();
    }
    // Either the release has delivered, or it is the one a cancelled drag
    // posted: the click notification that the default processing may raise
    // must not deliver (again).
    m_bSuppressClick = dragging || m_bDragCancelled;
    m_bDragCancelled = false;
    Default();
    m_bSuppressClick = false;
}

void CTextButton::OnRButtonUp(UINT, CPoint)
{
    if (!m_hOldCursor) {
        Default();
        return;
    }
    // Cancel the drag: the posted release only ends the pressed state and the
    // capture, with no drop.
    ::SetCursor(m_hOldCursor);
    m_hOldCursor = nullptr;
    m_bDragCancelled = true;
    PostMessage(WM_LBUTTONUP, 0, 0);
}

// Another window took the mouse in the middle of a drag (a dialog popped
// up, say): the release will never come here, so the drag ends undelivered.
void CTextButton::OnCaptureChanged(HWND)
{
    if (m_hOldCursor) {
        ::SetCursor(m_hOldCursor);
        m_hOldCursor = nullptr;
    }
    Default();
}

void CTextButton::DropText()
{
    CBarDlg* pBar = BarOf(*this);
    if (!pBar) return;
    POINT point;
    ::GetCursorPos(&point);
    HWND hWindow = ::WindowFromPoint(point);
    if (!hWindow) return;
    POINT client = point;
    ::ScreenToClient(hWindow, &client);
    HWND hChild = ::ChildWindowFromPointEx(hWindow, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
    if (hChild == m_hWnd)
        pBar->DeliverText(m_strSendText, nullptr);  // released over itself: a click
    else
        pBar->DeliverText(m_strSendText, hChild ? hChild : hWindow);
}
