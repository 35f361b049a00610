// The settings page "ｶｽﾀﾑﾍﾟｰｼﾞ": which buttons the bar's custom page shows,
// chosen by ticking them in a check list.
#pragma once

#include "bar/PageTable.h"
#include "framework/Afx.h"

class CCustomPageDlg : public CPropertyPage {
public:
    CCustomPageDlg();

    // The row edited here is the host's copy of the custom page's row.
    void Attach(PageRow& row) { m_pRecord = &row; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    PageRow* m_pRecord = nullptr;
    CCheckListBox m_checkList;
};
