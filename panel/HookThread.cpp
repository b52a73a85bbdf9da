// The hook's thread: installs, reinstalls and removes the hook, and pumps nothing but the system's
// calls of it and its own two thread messages.
#include "HookThread.h"

#include <utility>

#include "HotkeyHook.h"
#include "HotkeyState.h"
#include "Trace.h"

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

// A hook the system refused leaves the hotkey dead until a reinstall succeeds: a developer's trace
// says so, since the user only sees a key that does nothing.
afx::unique_hhook NewHook(HINSTANCE module, const wchar_t* when)
{
    afx::unique_hhook hook(::SetWindowsHookExW(WH_KEYBOARD_LL, HotkeyHookProc, module, 0));
    if (!hook)
        afx::Trace(L"the keyboard hook could not be installed (%ls), error %lu", when, ::GetLastError());
    return hook;
}

// The thread's hook becomes `fresh`; the old one goes after the new one is in, so no key falls
// between the two. The old one may be gone already (the system drops a hook without a word);
// removing it again does no harm.
void Install(afx::unique_hhook& hook, afx::unique_hhook fresh)
{
    g_hHook = fresh.get();
    hook = std::move(fresh);
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
    // The hook is this thread's: installed, replaced and removed here. g_hHook only shows it.
    afx::unique_hhook hook;
    Install(hook, NewHook(module, L"at start"));
    ::SetEvent(data->installed.get());  // `data` belongs to Start from here on

    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kReinstallHook) {
            if (afx::unique_hhook fresh = NewHook(module, L"afresh"))
                Install(hook, std::move(fresh));
        }
    }
    // A panel that could not wait for this thread has removed the hook itself (Stop): then the
    // view is empty and the handle is no longer this thread's to free.
    if (g_hHook.exchange(nullptr) == nullptr)
        hook.release();
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
        // Never seen; but no hook may outlive its panel: removed from here, the thread ends later
        // and, finding the view empty, leaves the handle alone.
        afx::Trace(L"the hook's thread did not end within %lu ms: its hook is removed from the GUI thread",
                   kStopWaitMs);
        afx::unique_hhook takenOver(g_hHook.exchange(nullptr));
    }
    m_thread.reset();
    m_threadId = 0;
}
