#include "settings/HotKeyDlg.h"

#include <string>

#include "resources/resource.h"
#include "settings/ComboItems.h"

BEGIN_MESSAGE_MAP(CHotKeyDlg, CPropertyPage)
    ON_CBN_SELCHANGE(IDC_HK_ACTION, OnActionChange)
END_MESSAGE_MAP()

CHotKeyDlg::CHotKeyDlg() : CPropertyPage(IDD_HOTKEY) {}

void CHotKeyDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_HK_KEYLABEL, m_stcKeyLabel);
    DDX_Control(pDX, IDC_HK_ACTION, m_cmbAction);
    DDX_Control(pDX, IDC_HK_KEY, m_cmbKey);
    DDX_Control(pDX, IDC_HK_SHIFT, m_btnShift);
    DDX_Control(pDX, IDC_HK_CONTROL, m_btnControl);
    DDX_Control(pDX, IDC_HK_ALT, m_btnAlt);
}

BOOL CHotKeyDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The template cannot carry the lists' items.
    for (const char* item : kHotKeyKeyItems) m_cmbKey.AddString(item);
    for (const char* item : kHotKeyActionItems) m_cmbAction.AddString(item);

    const HotKeyData& hotKey = *m_pHotKey;
    if (hotKey.SysKey & MOD_ALT) m_btnAlt.SetCheck(1);
    if (hotKey.SysKey & MOD_CONTROL) m_btnControl.SetCheck(1);
    if (hotKey.SysKey & MOD_SHIFT) m_btnShift.SetCheck(1);
    // Prefix match from item 1 round to item 0: "F1" lands on "F1" because
    // it comes before "F10".."F12".
    m_cmbKey.SelectString(0, hotKey.Key);
    m_cmbAction.SetCurSel(hotKey.Do);
    OnActionChange();
    return TRUE;
}

void CHotKeyDlg::OnActionChange()
{
    const BOOL on = m_cmbAction.GetCurSel() != 0;
    m_btnAlt.EnableWindow(on);
    m_btnControl.EnableWindow(on);
    m_btnShift.EnableWindow(on);
    m_cmbKey.EnableWindow(on);
    m_stcKeyLabel.EnableWindow(on);
}

void CHotKeyDlg::OnOK()
{
    HotKeyData& hotKey = *m_pHotKey;
    hotKey.SysKey = (m_btnAlt.GetCheck() == 1 ? MOD_ALT : 0) | (m_btnControl.GetCheck() == 1 ? MOD_CONTROL : 0) |
                    (m_btnShift.GetCheck() == 1 ? MOD_SHIFT : 0);
    // The key is always stored in upper case.
    std::string key = m_cmbKey.GetWindowText().str();
    ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
    hotKey.Key = key.c_str();
    hotKey.Do = m_cmbAction.GetCurSel();
    CPropertyPage::OnOK();
}
