// The settings tab "ｱﾌﾟﾘｹｰｼｮﾝの起動": the ten launch entries.
#pragma once
#include "bar/Records.h"
#include "settings/EntryPage.h"

using CAppStartPage = CEntryPage<AppStartEntry, &AppStartEntry::AppName, kAppStartCount>;

class CAppStartDlg : public CAppStartPage {
public:
    CAppStartDlg();

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;

    CEdit m_editTitle;
    CEdit m_editAppName;  // free text: not checked against the file system
    CEdit m_editTip;
    CComboBox m_cboEntry;
};
