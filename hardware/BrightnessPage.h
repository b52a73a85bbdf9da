// The brightness page: a slider over the screen's eight brightness levels.
#pragma once

#include "Afx.h"
#include "resource.h"

class CBrightnessPage : public CDialog {
public:
    explicit CBrightnessPage(CWnd* parent = nullptr) : CDialog(IDD_BRIGHTNESS_PAGE, parent) {}
};
