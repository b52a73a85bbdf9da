// Keys and clicks through the system's input queue, sent at once from the calling thread. Only for
// tests whose own process holds no low-level keyboard hook: the running program's hook is called
// in the program, and a hook's own thread would stall on its own input.
#pragma once

#include <windows.h>

// Presses and releases a key.
inline void TypeKey(WORD vk, WORD scan, bool extended = false)
{
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = scan;
        input.ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

inline void TypeHotkey() { TypeKey(0xFF, 0x2C); }

// Moves the pointer to a screen point and clicks there, in one go, without waiting for the program:
// for tests that mean to race it (ProgramUnderTest::ClickAt is the patient click).
inline void ClickNow(POINT screen)
{
    INPUT inputs[3] = {};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    inputs[0].mi.dy = MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(3, inputs, sizeof(INPUT));
}

// The centre of a window, in screen coordinates.
inline POINT CentreOf(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
