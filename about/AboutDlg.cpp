#include "about/AboutDlg.h"

BOOL CAboutDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    m_icons.Apply(m_hWnd, IDI_TAVRIN);
    // The template's icon control took the icon at the system's DPI: give it
    // the one drawn for this box's DPI (the control takes its size).
    m_picture = CSizedIcon(IDI_TAVRIN, IMAGE_ICON, SM_CXICON, AfxWindowDpi(m_hWnd));
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if ((::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && m_picture)
            ::SendMessageA(hChild, STM_SETICON, reinterpret_cast<WPARAM>(static_cast<HICON>(m_picture)), 0);
    }
    return result;
}
