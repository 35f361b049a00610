#include "framework/PropertySheet.h"

#include "framework/Library.h"
#include "framework/WinApp.h"

// ---- CPropertyPage -------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertyPage, CDialog)
    {WM_NOTIFY, static_cast<UINT>(PSN_APPLY), 0, 0xFFFF,
     AFX_THUNK(LRESULT r = 0; self->OnApply(reinterpret_cast<NMHDR*>(lParam), &r); return r;)},
    {WM_NOTIFY, static_cast<UINT>(PSN_RESET), 0, 0xFFFF,
     AFX_THUNK(LRESULT r = 0; self->OnReset(reinterpret_cast<NMHDR*>(lParam), &r); return r;)},
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate)
{
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;  // the tab shows the template's caption
    m_psp.hInstance = AfxGetInstanceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pfnDlgProc = &CPropertyPage::PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT msg, WPARAM, LPARAM lParam)
{
    // As with CDialog, this procedure only attaches the object; the sheet
    // hands over a copy of the page description, whose lParam is the page.
    if (msg != WM_INITDIALOG) return FALSE;
    auto* pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
    pPage->SubclassWindow(hWnd);
    if (pPage->m_pSheet) pPage->m_pSheet->OnFirstPage(::GetParent(hWnd));
    return pPage->OnInitDialog();
}

void CPropertyPage::OnApply(NMHDR*, LRESULT* pResult)
{
    // PSN_APPLY reaches every page that exists, that is every page that was
    // shown. Sheets here have no Apply button, so it always means OK.
    if (m_pAccepted) *m_pAccepted = true;
    OnOK();
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, PSNRET_NOERROR);
    *pResult = PSNRET_NOERROR;
}

void CPropertyPage::OnReset(NMHDR*, LRESULT* pResult)
{
    OnCancel();
    *pResult = 0;
}

bool CPropertyPage::OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam)
{
    if (nID == IDOK || nID == IDCANCEL) return false;
    return CDialog::OnCmdMsg(nID, nCode, wParam, lParam);
}

// ---- CPropertySheet ------------------------------------------------------

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_caption(pszCaption), m_pParentWnd(pParentWnd)
{
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.hInstance = AfxGetInstanceHandle();
    m_psh.nStartPage = iSelectPage;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_pages.empty()) return -1;
    std::vector<PROPSHEETPAGEA> pages;
    bool accepted = false;
    for (CPropertyPage* pPage : m_pages) {
        pPage->m_pAccepted = &accepted;
        pPage->m_pSheet = this;
        pages.push_back(pPage->m_psp);
    }
    m_psh.dwFlags |= PSH_PROPSHEETPAGE;
    m_psh.hwndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_psh.pszCaption = m_caption;
    m_psh.nPages = static_cast<UINT>(pages.size());
    if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
    m_psh.ppsp = pages.data();

    const INT_PTR result = AfxPropertySheet(&m_psh);
    for (CPropertyPage* pPage : m_pages) {
        pPage->m_pAccepted = nullptr;
        pPage->m_pSheet = nullptr;
    }
    if (result < 0) return -1;
    // The sheet's own result says whether anything was marked changed; what
    // counts here is only whether the user pressed OK.
    return accepted ? IDOK : IDCANCEL;
}

void CPropertySheet::OnFirstPage(HWND hSheet)
{
    if (m_bIconsGiven || !m_nIDIcon || !hSheet) return;
    m_bIconsGiven = true;
    m_icons.Apply(hSheet, m_nIDIcon);
}
