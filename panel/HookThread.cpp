// The hook's thread: installs, reinstalls and removes the hook, and pumps nothing but the system's
// calls of it and its own two thread messages.
#include "HookThread.h"

#include "HotkeyHook.h"
#include "HotkeyState.h"

namespace {

// Thread messages of the hook's thread (it has no window).
constexpr UINT kReinstallHook = WM_APP + 1;

// Reserved, not committed: the hook and the system's calls of it need little.
constexpr SIZE_T kStackReserve = 256 * 1024;
// The thread never blocks but in its message retrieval; stopping it is a matter of a message.
constexpr DWORD kStopWaitMs = 5000;

struct StartData {
    HINSTANCE module;
    afx::unique_handle installed;  // set once the first installation was tried
};

HHOOK NewHook(HINSTANCE module) { return ::SetWindowsHookExW(WH_KEYBOARD_LL, HotkeyHookProc, module, 0); }

void ReinstallHook(HINSTANCE module)
{
    const HHOOK fresh = NewHook(module);
    if (fresh == nullptr)
        return;
    // The old one may be gone already (the system drops a hook without a word); removing it again
    // does no harm.
    if (const HHOOK old = g_hHook.exchange(fresh))
        ::UnhookWindowsHookEx(old);
}

void RemoveHook()
{
    if (const HHOOK hook = g_hHook.exchange(nullptr))
        ::UnhookWindowsHookEx(hook);
}

} // namespace

DWORD WINAPI HookThread::Run(void* start)
{
    auto* data = static_cast<StartData*>(start);
    const HINSTANCE module = data->module;
    // Every key of the session waits for this thread: it goes ahead of the program's other work.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    // The queue exists before anyone is told the thread runs, so no message to it is lost.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    g_hHook = NewHook(module);
    ::SetEvent(data->installed.get());  // `data` belongs to Start from here on

    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kReinstallHook)
            ReinstallHook(module);
    }
    RemoveHook();
    return 0;
}

bool HookThread::Start(HINSTANCE module)
{
    Stop();
    StartData data{module, afx::unique_handle(::CreateEventW(nullptr, TRUE, FALSE, nullptr))};
    if (!data.installed)
        return false;
    m_thread.reset(::CreateThread(nullptr, kStackReserve, &HookThread::Run, &data, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                  &m_threadId));
    if (!m_thread)
        return false;
    // The thread either tries the installation or ends before it; both end this wait.
    const HANDLE either[2] = {data.installed.get(), m_thread.get()};
    ::WaitForMultipleObjects(2, either, FALSE, INFINITE);
    return g_hHook != nullptr;
}

void HookThread::Reinstall()
{
    if (m_thread)
        ::PostThreadMessageW(m_threadId, kReinstallHook, 0, 0);
}

void HookThread::Stop()
{
    if (!m_thread)
        return;
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    if (::WaitForSingleObject(m_thread.get(), kStopWaitMs) != WAIT_OBJECT_0) {
        // Never seen; but no hook may outlive its panel: removed from here, the thread ends later.
        RemoveHook();
    }
    m_thread.reset();
    m_threadId = 0;
}
