#include "framework/Dialog.h"

#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::GetOwnerForModal() const
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this) hOwner = pApp->m_pMainWnd->m_hWnd;
    }
    // A dialog is owned by a top-level window, never by a child.
    while (hOwner && (::GetWindowLongA(hOwner, GWL_STYLE) & WS_CHILD)) hOwner = ::GetParent(hOwner);
    return hOwner;
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = AfxGetInstanceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const auto* pTemplate = hTemplate ? static_cast<const DLGTEMPLATE*>(::LockResource(hTemplate)) : nullptr;
    if (!pTemplate) return -1;

    HWND hOwner = GetOwnerForModal();
    const bool ownerWasEnabled = hOwner && ::IsWindowEnabled(hOwner);
    if (ownerWasEnabled) ::EnableWindow(hOwner, FALSE);

    m_bContinueModal = true;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogIndirectParamA(hInstance, pTemplate, hOwner, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (hWnd) {
        // A template without WS_VISIBLE is shown once initialised.
        if (!::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);
        // The loop ends by EndDialog, or when the window is destroyed some
        // other way (m_hWnd is cleared at WM_NCDESTROY).
        while (m_bContinueModal && m_hWnd) {
            MSG msg;
            const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got < 0) break;
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }

    // Give the activation back to the owner before the dialog disappears.
    if (ownerWasEnabled) ::EnableWindow(hOwner, TRUE);
    if (hOwner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hOwner);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bContinueModal = false;
    // The window is destroyed as soon as the loop notices; hiding it first
    // would only cost time.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the modal loop
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM, LPARAM lParam)
{
    // Everything after WM_INITDIALOG reaches the object through the subclass
    // procedure; this procedure only attaches it.
    if (msg != WM_INITDIALOG) return FALSE;
    auto* pDialog = reinterpret_cast<CDialog*>(lParam);
    pDialog->SubclassWindow(hWnd);
    return pDialog->OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    const bool keyboardOrMouse = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
                                 || (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    return keyboardOrMouse && ::IsDialogMessageA(m_hWnd, pMsg);
}

bool CDialog::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCmdMsg(nID, nCode, wParam, lParam)) return true;
    // Only menu-style commands (ids from 0x8000, below the system range)
    // travel on to the application.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000) return false;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, wParam, lParam);
}
