// CBarDlg: the clipboard owner's side of a paste that gives the clipboard
// back (m_KeepClipboard): the render requests, exit, a replaced clipboard and
// the tick that waits for the target to let go. CClipboardKeeper decides.
#include "bar/BarDlg.h"

void CBarDlg::OnRenderFormat(UINT nFormat)
{
    m_ClipKeeper.OnRenderFormat(nFormat);
}

void CBarDlg::OnRenderAllFormats()
{
    m_ClipKeeper.OnRenderAllFormats();
}

void CBarDlg::OnDestroyClipboard()
{
    m_ClipKeeper.OnDestroyClipboard();
}

void CBarDlg::OnClipboardTimer()
{
    m_ClipKeeper.OnTimer();
}
