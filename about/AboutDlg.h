// CAboutDlg: the version dialog (name, version, icon, OK).
#pragma once
#include "framework/Afx.h"
#include "resources/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
