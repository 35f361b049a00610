#include "bar/TextButton.h"

#include "bar/BarDlg.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CTextButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

namespace {
CBarDlg* BarOf(const CWnd& button) { return static_cast<CBarDlg*>(CWnd::FromHandlePermanent(button.GetParent())); }
}  // namespace

// Clicks that do not come through the mouse handlers below, such as the
// space bar on a focused button.
void CTextButton::OnClicked()
{
    if (m_bReleaseDelivered) return;
    if (CBarDlg* pBar = BarOf(*this)) pBar->DeliverText(m_strSendText, nullptr);
}

void CTextButton::OnLButtonDown(UINT, CPoint)
{
    m_hOldCursor = ::SetCursor(::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_DRAGCURSOR)));
    Default();  // pressed look, focus and mouse capture
}

void CTextButton::OnLButtonUp(UINT, CPoint)
{
    const bool dragging = m_hOldCursor != nullptr;
    if (dragging) {
        ::SetCursor(m_hOldCursor);
        m_hOldCursor = nullptr;
        DropText();
    }
    // The release has delivered: the click notification that the default
    // processing may raise must not deliver a second time.
    m_bReleaseDelivered = dragging;
    Default();
    m_bReleaseDelivered = false;
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
    PostMessage(WM_LBUTTONUP, 0, 0);
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
