// CBarDlg: the settings sheet (saved and shown on the bar at once after OK)
// and the about box. Tracking pauses while either is open.
#include "bar/BarDlg.h"

#include "about/AboutDlg.h"
#include "app/BarApp.h"
#include "resources/resource.h"
#include "settings/AppStartDlg.h"
#include "settings/CustomPageDlg.h"
#include "settings/ExtensionDlg.h"
#include "settings/HotKeyDlg.h"
#include "settings/PrivateDlg.h"
#include "settings/UserStringDlg.h"

void CBarDlg::OnAbout()
{
    KillTimer(kTrackTimer);
    CAboutDlg about;
    about.DoModal();
    SetTimer(kTrackTimer, kTrackPeriod);
}

void CBarDlg::OnSettings()
{
    KillTimer(kTrackTimer);
    {
        CPropertySheet sheet("設定", this, static_cast<UINT>(m_PageNo - 1));
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.m_nIDIcon = IDI_TAVRIN;

        // The custom page edits a copy of page 3's row: the bar still needs
        // the old row to hide the old buttons.
        PageRow customRow = g_PageTable[kCustomPage];
        CPrivateDlg privatePage;
        privatePage.Attach(m_Private);
        CUserStringDlg userStringPage;
        userStringPage.Attach(m_UserString);
        CCustomPageDlg customPage;
        customPage.Attach(customRow);
        CAppStartDlg appStartPage;
        appStartPage.Attach(m_AppStart);
        CExtensionDlg extensionPage;
        extensionPage.Attach(m_Option, m_BkColor, m_Pos, m_KeepClipboard);
        CHotKeyDlg hotKeyPage;
        hotKeyPage.Attach(m_HotKey);

        sheet.AddPage(&privatePage);
        sheet.AddPage(&userStringPage);
        sheet.AddPage(&customPage);
        sheet.AddPage(&appStartPage);
        sheet.AddPage(&extensionPage);
        sheet.AddPage(&hotKeyPage);
        if (sheet.DoModal() == IDOK) ApplySettings(customRow);
    }
    SetTimer(kTrackTimer, kTrackPeriod);
}

// Saves what the settings sheet edited and shows it on the bar at once.
void CBarDlg::ApplySettings(const PageRow& customRow)
{
    CBarApp* pApp = GetBarApp();
    const CWinApp::CProfileBatch batch(pApp);  // about a hundred writes, each section's key opened once
    pApp->SavePrivateData(m_Private);
    pApp->SaveUserString(m_UserString);
    pApp->SaveCustomPage(customRow);
    pApp->SaveAppStart(m_AppStart);
    pApp->SaveHotKey(m_HotKey);
    pApp->WriteProfileInt("Setting", "BkColor", static_cast<int>(m_BkColor));
    pApp->WriteProfileInt("Setting", "Pos", m_Pos);
    pApp->WriteProfileInt("Setting", "KeepClipboard", m_KeepClipboard);

    RemoveTooltips();
    SetButtonCaptions();
    AddTooltips();
    AssignButtonTexts();

    if (m_PageNo == kCustomPage) {
        ShowPageButtons(kCustomPage, SW_HIDE);
        g_PageTable[kCustomPage] = customRow;
        ShowPageButtons(kCustomPage, SW_SHOW);
        LayoutPage(kCustomPage, (m_Option & kOptionTitleStrip) != 0);
    } else {
        g_PageTable[kCustomPage] = customRow;
    }
    RegisterBarHotKey();
    Invalidate(TRUE);
}
