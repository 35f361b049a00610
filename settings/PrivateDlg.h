// The settings tab "個人情報": the user's personal data.
#pragma once
#include "bar/Records.h"

class CPrivateDlg : public CPropertyPage {
public:
    CPrivateDlg();
    // Keeps the bar's record; the page writes into it only on OK.
    void Attach(PrivateData& data) { m_pPersonal = &data; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    PrivateData* m_pPersonal = nullptr;
    CEdit m_editAddress;
    CEdit m_editAddressNo;
    CEdit m_editEMail;
    CEdit m_editHomepage;
    CEdit m_editName1;
    CEdit m_editName2;
    CEdit m_editPhoneNo;
};
