// The settings tab "ﾕｰｻﾞｰ設定文字": the ten user strings.
#pragma once
#include "bar/Records.h"
#include "settings/EntryPage.h"

using CUserStringPage = CEntryPage<UserStringEntry, &UserStringEntry::String, kUserStringCount>;

class CUserStringDlg : public CUserStringPage {
public:
    CUserStringDlg();

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;

    CEdit m_editTitle;
    CEdit m_editTip;
    CComboBox m_cboEntry;
    CEdit m_editString;  // multi-line: the text to paste
};
