// Keeps the hotkey alive through a tablet's day: listens, on the GUI thread, for resume, session
// unlock and reconnect, and for keyboard input that the hook no longer sees, and has the hook's
// thread install it afresh when the watchdog says so.
#pragma once

#include <windows.h>

#include "HookWatchdog.h"

class HookThread;

class HookRecovery {
public:
    // Registers `panel` for session notifications and for every keyboard event by raw input,
    // in the background too, and reinstalls through `hook`. Either registration may be refused;
    // its trigger is then simply missing.
    void Start(HWND panel, HookThread& hook);
    void Stop();

    // WM_POWERBROADCAST, WM_WTSSESSION_CHANGE and WM_INPUT as the panel receives them.
    void OnPowerBroadcast(WPARAM event);
    void OnSessionChange(WPARAM event);
    void OnKeyboardInput();

private:
    void ReinstallIf(bool verdict);

    HookWatchdog m_watchdog;
    HWND m_panel = nullptr;
    HookThread* m_hook = nullptr;
    bool m_sessionNotifications = false;
    bool m_rawKeyboard = false;
};
