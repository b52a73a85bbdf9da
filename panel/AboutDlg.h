// The About box that the panel's system menu opens.
#pragma once

#include "Afx.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
