// When the keyboard hook is installed afresh. Windows removes a low-level hook without a word when
// one call exceeds the system's time limit, and hooks can go missing across sleep and session
// switches; the hotkey would then stay dead until the program restarts. The panel installs a new
// hook after a resume or an unlocked or reconnected session, and when keyboard input goes on while
// the hook is no longer called. Decided here, apart from the OS, so tests can drive it.
#pragma once

#include <windows.h>

class HookWatchdog {
public:
    // Never two installations closer together than this, whatever asks for them.
    static constexpr DWORD kMinIntervalMs = 2000;
    // A whole key press (down and up) passing by the hook is evidence enough.
    static constexpr unsigned kMissedEventsForEvidence = 2;

    // A resume from sleep, or a session unlocked or reconnected: whether to install afresh now.
    bool OnSessionEvent(DWORD nowMs) { return Take(nowMs); }

    // One keyboard event has reached the program by raw input, which comes after the hooks have
    // seen it; `hookCalls` is the hook's own count of its calls so far. Whether to install afresh.
    bool OnKeyboardInput(unsigned hookCalls, DWORD nowMs)
    {
        if (hookCalls != m_hookCalls) {
            m_hookCalls = hookCalls;
            m_missedEvents = 0;
            return false;
        }
        if (++m_missedEvents < kMissedEventsForEvidence)
            return false;
        return Take(nowMs);
    }

private:
    // Counts an installation when the interval allows one; the tick count's wrap is harmless.
    bool Take(DWORD nowMs)
    {
        if (m_installedBefore && nowMs - m_lastInstallMs < kMinIntervalMs)
            return false;
        m_installedBefore = true;
        m_lastInstallMs = nowMs;
        m_missedEvents = 0;
        return true;
    }

    unsigned m_hookCalls = 0;
    unsigned m_missedEvents = 0;
    bool m_installedBefore = false;
    DWORD m_lastInstallMs = 0;
};
