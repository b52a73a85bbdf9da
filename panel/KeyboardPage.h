// The on-screen keyboard page: one button that starts the on-screen keyboard.
#pragma once

#include "Afx.h"
#include "resource.h"

class CKeyboardPage : public CDialog {
public:
    explicit CKeyboardPage(CWnd* parent = nullptr) : CDialog(IDD_KEYBOARD_PAGE, parent) {}
};
