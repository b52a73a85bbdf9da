// What one low-level key event means to the program, decided apart from the hook itself so it can
// be tested without a real hook.
#pragma once

#include <windows.h>

// The tablet's special key, and the arrow keys as the hook recognises them.
inline constexpr DWORD kHotkeyVk = 0xFF;
inline constexpr DWORD kHotkeyScan = 0x2C;
inline constexpr DWORD kUpScan = 0x48;
inline constexpr DWORD kDownScan = 0x50;

struct KeyVerdict {
    bool examined = false;        // the event counts; the arrow flags take the values below
    bool panelRequested = false;  // it is the hotkey: request and show the panel
    bool upKeyDown = false;
    bool downKeyDown = false;
};

// Key-downs, system key-downs and system key-ups are examined; plain key-ups are not, so an arrow
// flag outlives the arrow's release until another key comes.
constexpr KeyVerdict JudgeKeyEvent(int code, WPARAM message, DWORD vk, DWORD scan)
{
    if (code != HC_ACTION)
        return {};
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return {};
    KeyVerdict verdict;
    verdict.examined = true;
    verdict.panelRequested = vk == kHotkeyVk && scan == kHotkeyScan;
    if (vk == VK_UP && scan == kUpScan)
        verdict.upKeyDown = true;
    else if (vk == VK_DOWN && scan == kDownScan)
        verdict.downKeyDown = true;
    return verdict;
}
