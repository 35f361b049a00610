#include "settings/AppStartDlg.h"

#include "resources/resource.h"
#include "settings/ComboItems.h"

BEGIN_MESSAGE_MAP(CAppStartDlg, CAppStartPage)
    ON_CBN_SELCHANGE(IDC_AS_ENTRY, OnSelChange)
END_MESSAGE_MAP()

CAppStartDlg::CAppStartDlg()
    : CAppStartPage(IDD_APPSTART, kAppStartItems, m_editTip, m_editTitle, m_editAppName, m_cboEntry)
{
}

void CAppStartDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_AS_TITLE, m_editTitle);
    DDX_Control(pDX, IDC_AS_APPNAME, m_editAppName);
    DDX_Control(pDX, IDC_AS_TIP, m_editTip);
    DDX_Control(pDX, IDC_AS_ENTRY, m_cboEntry);
}
