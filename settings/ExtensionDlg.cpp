#include "settings/ExtensionDlg.h"

#include "app/StartWithWindows.h"
#include "bar/BarDlg.h"
#include "resources/resource.h"
#include "settings/ComboItems.h"

BEGIN_MESSAGE_MAP(CExtensionDlg, CPropertyPage)
    ON_BN_CLICKED(IDC_EXT_FOLLOW, OnFollowClicked)
    ON_BN_CLICKED(IDC_EXT_CHANGECOLOUR, OnChangeColour)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CExtensionDlg::CExtensionDlg() : CPropertyPage(IDD_EXTENSION) {}

void CExtensionDlg::Attach(int& option, COLORREF& colour, int& pos)
{
    m_pOption = &option;
    m_pColourPos = {&colour, &pos};
    m_colour = colour;
}

void CExtensionDlg::Attach(int& option, COLORREF& colour, int& pos, int& keepClipboard)
{
    Attach(option, colour, pos);
    m_pKeepClipboard = &keepClipboard;
}

void CExtensionDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_EXT_TOPMOST, m_btnTopmost);
    DDX_Control(pDX, IDC_EXT_POS, m_cmbPos);
    DDX_Control(pDX, IDC_EXT_SWATCH, m_stcSwatch);
    DDX_Control(pDX, IDC_EXT_FOLLOW, m_btnFollow);
}

BOOL CExtensionDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // The template cannot carry the list's items.
    for (const char* item : kDockCornerItems) m_cmbPos.AddString(item);

    if (*m_pOption & kOptionFollowTarget) m_btnFollow.SetCheck(1);
    if (!(*m_pOption & kOptionNotTopmost)) m_btnTopmost.SetCheck(1);
    m_cmbPos.SetCurSel(*m_pColourPos.pPos);
    if (m_pKeepClipboard && *m_pKeepClipboard) ::CheckDlgButton(m_hWnd, IDC_EXT_KEEPCLIPBOARD, BST_CHECKED);
    m_bStartShown = IsStartedWithWindows();
    if (m_bStartShown) ::CheckDlgButton(m_hWnd, IDC_EXT_STARTWITHWINDOWS, BST_CHECKED);
    OnFollowClicked();
    PaintSwatch();
    return TRUE;
}

void CExtensionDlg::OnFollowClicked()
{
    const BOOL on = m_btnFollow.GetCheck() == 1;
    m_cmbPos.EnableWindow(on);
    ::EnableWindow(GetDlgItem(IDC_EXT_POSLABEL), on);
}

void CExtensionDlg::OnChangeColour()
{
    CColorDialog dlg(m_colour);
    if (dlg.DoModal() != IDOK) return;
    m_colour = dlg.GetColor();
    PaintSwatch();
}

void CExtensionDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    PaintSwatch();
}

void CExtensionDlg::PaintSwatch()
{
    // The placeholder is hidden; its rectangle, in page coordinates, is
    // where the colour goes.
    CRect rect = m_stcSwatch.GetClientRect();
    auto* corners = reinterpret_cast<POINT*>(&rect);
    m_stcSwatch.ClientToScreen(&corners[0]);
    m_stcSwatch.ClientToScreen(&corners[1]);
    ScreenToClient(&corners[0]);
    ScreenToClient(&corners[1]);

    CBrush brush(m_colour);
    CClientDC dc(m_hWnd);
    ::FillRect(dc, &rect, brush);
}

void CExtensionDlg::OnOK()
{
    int& option = *m_pOption;
    if (m_btnFollow.GetCheck() == 1) {
        if (!(option & kOptionFollowTarget)) option += kOptionFollowTarget;
    } else if (option & kOptionFollowTarget) {
        option -= kOptionFollowTarget;
    }
    // Ticked means kept in front, so the bit is the opposite of the tick.
    if (m_btnTopmost.GetCheck() == 1) {
        if (option & kOptionNotTopmost) option -= kOptionNotTopmost;
    } else if (!(option & kOptionNotTopmost)) {
        option += kOptionNotTopmost;
    }
    *m_pColourPos.pPos = m_cmbPos.GetCurSel();
    *m_pColourPos.pColour = m_colour;
    if (m_pKeepClipboard) *m_pKeepClipboard = ::IsDlgButtonChecked(m_hWnd, IDC_EXT_KEEPCLIPBOARD) == BST_CHECKED ? 1 : 0;
    // Only when this page was opened (a page never shown gets no OK), and
    // only what the box changed: Windows' list stays as the user left it.
    const bool ticked = ::IsDlgButtonChecked(m_hWnd, IDC_EXT_STARTWITHWINDOWS) == BST_CHECKED;
    if (ApplyStartWithWindows(m_bStartShown, ticked) == StartUpResult::PathTooLong)
        AfxMessageBox("TAVRIN.EXE のﾊﾟｽが長すぎるため、Windows の起動時に起動できません。", MB_OK);
    CPropertyPage::OnOK();
}
