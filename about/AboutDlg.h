// CAboutDlg: the version dialog (name, version, icon, OK).
#pragma once
#include "framework/Afx.h"
#include "resources/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

protected:
    // The icons, in the frame and in the box, drawn for the box's DPI.
    BOOL OnInitDialog() override;

private:
    CWindowIcons m_icons;
    CSizedIcon m_picture;
};
