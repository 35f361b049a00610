// CTextButton: a bar button that delivers a stored text. A click delivers
// into the current target; pressing, dragging onto any window and releasing
// there delivers into that window.
#pragma once
#include "framework/Afx.h"

class CTextButton : public CButton {
public:
    CTextButton() = default;
    ~CTextButton() override = default;

    void SetSendText(const CString& text) { m_strSendText = text; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnClicked();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnCaptureChanged(HWND hNewCapture);

private:
    // Delivers where the pointer was released.
    void DropText();

    HCURSOR m_hOldCursor = nullptr;  // set while a press or drag is under way
    CString m_strSendText;
    bool m_bDragCancelled = false;  // the right button cancelled; its release is posted
    bool m_bSuppressClick = false;  // inside a release that must not click
};
