// CDialog: a dialog from a template resource, run modally by a loop of the
// framework's own so that every queued message passes PreTranslateMessage
// (of its window and that window's parents) before IsDialogMessage.
#pragma once
#include <windows.h>

#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    // With no parent the dialog is owned by the application's main window
    // (none while the main window itself runs).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog, runs the modal loop until EndDialog, destroys the
    // window and returns the EndDialog value (-1 if it could not be created).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // Gives a control the focus as the Tab key would (and makes a push
    // button the default one).
    void GotoDlgCtrl(HWND hControl) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hControl), TRUE); }

    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Runs DoDataExchange; false to copy to the members.
    bool UpdateData(bool bSaveAndValidate = true);
    virtual void DoDataExchange(CDataExchange*) {}

    // Dialog keyboard navigation for this dialog's messages.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    DECLARE_MESSAGE_MAP()
    // Commands that no map of the dialog takes go on to the application
    // object (Exit, Help).
    bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND GetOwnerForModal() const;

    bool m_bContinueModal = false;
    INT_PTR m_nModalResult = -1;
};
