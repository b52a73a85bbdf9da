// The real mouse for tests: moves and button presses go through the system's input queue from
// another thread, as the mouse's own would, so hover tracking, capture and double clicks behave
// as for a user.
#pragma once

#include <windows.h>

namespace pointer_input {

struct Event {
    DWORD flags;
    LONG dx;
    LONG dy;
};

inline DWORD WINAPI SendFromThread(void* param)
{
    auto* event = static_cast<Event*>(param);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = event->dx;
    input.mi.dy = event->dy;
    input.mi.dwFlags = event->flags;
    ::SendInput(1, &input, sizeof(INPUT));
    delete event;
    return 0;
}

inline void Send(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    auto* event = new Event{flags, dx, dy};
    HANDLE thread = ::CreateThread(nullptr, 0, &SendFromThread, event, 0, nullptr);
    if (thread == nullptr) {
        delete event;
        return;
    }
    // Events sent one after another must reach the queue in that order; on a loaded machine two
    // sending threads would race. No mouse hook waits on this thread, so the wait is short.
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
}

} // namespace pointer_input

// Moves the pointer to `screen` coordinates.
inline void MovePointer(POINT screen)
{
    pointer_input::Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                        screen.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1),
                        screen.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
}

// Presses or releases the left button where the pointer is.
inline void PressLeftButton() { pointer_input::Send(MOUSEEVENTF_LEFTDOWN); }
inline void ReleaseLeftButton() { pointer_input::Send(MOUSEEVENTF_LEFTUP); }
