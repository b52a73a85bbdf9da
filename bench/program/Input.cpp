// SendInput of keys and mouse events. Each call queues the events and returns; the program under
// test takes them from its queue, which is what the measurements time.
#include "Input.h"

bool SendHotkey(bool down)
{
    INPUT event{};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = 0xFF;
    event.ki.wScan = 0x2C;
    event.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return ::SendInput(1, &event, sizeof(INPUT)) == 1;
}

void MouseMoveTo(POINT screen)
{
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(INPUT));
}

void MouseButton(bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(INPUT));
}

POINT CentreOf(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool ClickOn(HWND expected, POINT screen)
{
    if (::WindowFromPoint(screen) != expected)
        return false;
    MouseMoveTo(screen);
    ::Sleep(1);
    MouseButton(true);
    ::Sleep(1);
    MouseButton(false);
    return true;
}

bool DragOn(HWND expected, POINT from, POINT to)
{
    if (::WindowFromPoint(from) != expected)
        return false;
    MouseMoveTo(from);
    ::Sleep(1);
    MouseButton(true);
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step) {
        ::Sleep(1);
        MouseMoveTo({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
    }
    ::Sleep(1);
    MouseButton(false);
    return true;
}
