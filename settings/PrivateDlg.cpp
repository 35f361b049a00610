#include "settings/PrivateDlg.h"

#include "resources/resource.h"

CPrivateDlg::CPrivateDlg() : CPropertyPage(IDD_PRIVATE) {}

void CPrivateDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PRIVATE_ADDRESS, m_editAddress);
    DDX_Control(pDX, IDC_PRIVATE_ZIP, m_editAddressNo);
    DDX_Control(pDX, IDC_PRIVATE_MAIL, m_editEMail);
    DDX_Control(pDX, IDC_PRIVATE_HOMEPAGE, m_editHomepage);
    DDX_Control(pDX, IDC_PRIVATE_FAMILYNAME, m_editName1);
    DDX_Control(pDX, IDC_PRIVATE_GIVENNAME, m_editName2);
    DDX_Control(pDX, IDC_PRIVATE_PHONE, m_editPhoneNo);
}

BOOL CPrivateDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_editName1.SetWindowText(m_pPersonal->Name1);
    m_editName2.SetWindowText(m_pPersonal->Name2);
    m_editAddressNo.SetWindowText(m_pPersonal->AddressNo);
    m_editAddress.SetWindowText(m_pPersonal->Address);
    m_editPhoneNo.SetWindowText(m_pPersonal->PhoneNo);
    m_editEMail.SetWindowText(m_pPersonal->EMail);
    m_editHomepage.SetWindowText(m_pPersonal->Homepage);
    return TRUE;
}

void CPrivateDlg::OnOK()
{
    m_pPersonal->Name1 = m_editName1.GetWindowText();
    m_pPersonal->Name2 = m_editName2.GetWindowText();
    m_pPersonal->AddressNo = m_editAddressNo.GetWindowText();
    m_pPersonal->Address = m_editAddress.GetWindowText();
    m_pPersonal->PhoneNo = m_editPhoneNo.GetWindowText();
    m_pPersonal->EMail = m_editEMail.GetWindowText();
    m_pPersonal->Homepage = m_editHomepage.GetWindowText();
    CPropertyPage::OnOK();
}
