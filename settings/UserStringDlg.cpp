#include "settings/UserStringDlg.h"

#include "resources/resource.h"
#include "settings/ComboItems.h"

BEGIN_MESSAGE_MAP(CUserStringDlg, CUserStringPage)
    ON_CBN_SELCHANGE(IDC_US_ENTRY, OnSelChange)
END_MESSAGE_MAP()

CUserStringDlg::CUserStringDlg()
    : CUserStringPage(IDD_USERSTRING, kUserStringItems, m_editTip, m_editTitle, m_editString, m_cboEntry)
{
}

void CUserStringDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_US_TITLE, m_editTitle);
    DDX_Control(pDX, IDC_US_TIP, m_editTip);
    DDX_Control(pDX, IDC_US_ENTRY, m_cboEntry);
    DDX_Control(pDX, IDC_US_STRING, m_editString);
}
