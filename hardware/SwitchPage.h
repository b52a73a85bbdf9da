// The device switch page: four buttons that turn the tablet's radios and camera on and off.
#pragma once

#include "Afx.h"
#include "resource.h"

class CSwitchPage : public CDialog {
public:
    explicit CSwitchPage(CWnd* parent = nullptr) : CDialog(IDD_SWITCH_PAGE, parent) {}
};
