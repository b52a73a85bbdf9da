// The on-screen keyboard page: one button that starts the on-screen keyboard.
#pragma once

#include "LauncherPage.h"
#include "resource.h"

inline constexpr char kKeyboardCommandLine[] = "C:\\Program Files\\Common Files\\Microsoft Shared\\ink\\TabTip.exe";

class CKeyboardPage : public CLauncherPage {
public:
    explicit CKeyboardPage(CWnd* parent = nullptr);

protected:
    DECLARE_MESSAGE_MAP()
};
