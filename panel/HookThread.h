// HookThread: the thread that owns the low-level keyboard hook. The system calls such a hook on
// the thread that installed it, inside that thread's message retrieval, and holds every key of the
// session until it returns; on a thread that does nothing else it answers at once, whatever the
// GUI thread is busy with (a slow library, the EC's waits, painting).
#pragma once

#include <windows.h>

#include "Handles.h"

class HookThread {
public:
    HookThread() = default;
    ~HookThread() { Stop(); }
    HookThread(const HookThread&) = delete;
    HookThread& operator=(const HookThread&) = delete;

    // Starts the thread, which installs HotkeyHookProc (from `module`) for the whole desktop, owns
    // it (g_hHook shows it) and then only pumps its messages. Returns once the installation was tried: whether
    // a hook is in place. Without one the thread still runs, so a reinstall may succeed later.
    bool Start(HINSTANCE module);

    // Asks the thread to install a fresh hook, then to remove the old one, so no key falls between
    // the two; if no new one can be had, the old stays. Returns at once.
    void Reinstall();

    // Removes the hook and ends the thread, and waits for both.
    void Stop();

    bool Running() const { return static_cast<bool>(m_thread); }

private:
    static DWORD WINAPI Run(void* start);

    afx::unique_handle m_thread;
    DWORD m_threadId = 0;
};
