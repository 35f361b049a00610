// The "拡張機能" page: following the target, the docking corner, staying in
// front, and the bar's background colour.
#pragma once
#include "framework/Afx.h"

class CExtensionDlg : public CPropertyPage {
public:
    CExtensionDlg();

    // `option` is the bar's m_Option; `colour` and `pos` are the bar's
    // m_BkColor and m_Pos, the colour-and-position pair, given as two
    // references. All three are written only in OnOK.
    void Attach(int& option, COLORREF& colour, int& pos);
    // As above, and `keepClipboard` is the bar's m_KeepClipboard (0 or 1).
    void Attach(int& option, COLORREF& colour, int& pos, int& keepClipboard);

    void OnOK() override;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnFollowClicked();
    void OnChangeColour();
    void OnPaint();
    void PaintSwatch();

    // The bar's m_BkColor and m_Pos.
    struct ColourPos {
        COLORREF* pColour = nullptr;
        int* pPos = nullptr;
    };

    int* m_pOption = nullptr;
    COLORREF m_colour = 0;  // the working colour until OK
    ColourPos m_pColourPos;
    CButton m_btnTopmost;
    CComboBox m_cmbPos;
    CStatic m_stcSwatch;
    CButton m_btnFollow;
    int* m_pKeepClipboard = nullptr;  // none: the box stays unticked and nothing is written
    bool m_bStartShown = false;       // "start with Windows" was shown ticked
};
