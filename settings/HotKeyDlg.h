// The "ﾎｯﾄｷｰ" page: the bar's global hot key and what it does.
#pragma once
#include "bar/Records.h"
#include "framework/Afx.h"

class CHotKeyDlg : public CPropertyPage {
public:
    CHotKeyDlg();

    // `hotKey` is the bar's m_HotKey, written only in OnOK.
    void Attach(HotKeyData& hotKey) { m_pHotKey = &hotKey; }

    void OnOK() override;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnActionChange();

    HotKeyData* m_pHotKey = nullptr;
    CStatic m_stcKeyLabel;
    CComboBox m_cmbAction;
    CComboBox m_cmbKey;
    CButton m_btnShift;
    CButton m_btnControl;
    CButton m_btnAlt;
};
