// The on-screen keyboard page: one button that starts the on-screen keyboard.
#pragma once

#include "LauncherPage.h"
#include "resource.h"

// A folder that WOW64 does not redirect: 32-bit and 64-bit Tabvisor start the same program.
inline constexpr wchar_t kOnScreenKeyboardPath[] = L"C:\\Program Files\\Common Files\\Microsoft Shared\\ink\\TabTip.exe";

class CKeyboardPage : public CLauncherPage {
public:
    explicit CKeyboardPage(CWnd* parent = nullptr);

protected:
    DECLARE_MESSAGE_MAP()
};
