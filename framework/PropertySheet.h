// CPropertyPage and CPropertySheet: a tabbed, modal property sheet of the
// system (PropertySheet of comctl32) whose pages are CDialog objects.
//
// Each page attaches itself at WM_INITDIALOG, the first time its tab is
// shown, and runs OnInitDialog then. When the user presses OK, the sheet
// calls OnOK of every page that was shown at least once; OnOK cannot keep
// the sheet open. Cancel calls OnCancel of those pages.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/Dialog.h"
#include "framework/Icons.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate);

    // Called by the sheet, on OK and Cancel, for pages that were shown.
    void OnOK() override {}
    void OnCancel() override {}

    PROPSHEETPAGEA m_psp{};

protected:
    DECLARE_MESSAGE_MAP()
    void OnApply(NMHDR* pNotify, LRESULT* pResult);
    void OnReset(NMHDR* pNotify, LRESULT* pResult);
    // The sheet's buttons belong to the sheet, not to the page.
    bool OnCmdMsg(UINT nID, UINT nCode, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool* m_pAccepted = nullptr;  // set by the sheet while it runs
    CPropertySheet* m_pSheet = nullptr;  // likewise
};

class CPropertySheet {
public:
    CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    void AddPage(CPropertyPage* pPage) { m_pages.push_back(pPage); }
    // Runs the sheet modally with the parent disabled; IDOK when the user
    // closed it with OK, IDCANCEL otherwise, -1 if it could not be shown.
    INT_PTR DoModal();

    PROPSHEETHEADERA m_psh{};
    // The icon the sheet's frame shows, drawn for the sheet's DPI; none by default.
    UINT m_nIDIcon = 0;

private:
    friend class CPropertyPage;
    // The first page is there: the sheet's window exists.
    void OnFirstPage(HWND hSheet);

    CWindowIcons m_icons;
    bool m_bIconsGiven = false;
    CString m_caption;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pages;
};
