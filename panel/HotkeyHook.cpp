// The keyboard hook. The system calls it for every key of every program in the session and waits
// for it, on the hook's own thread: it only counts itself, judges the event, sets flags and, for
// the hotkey, posts one request to the panel, whose GUI thread does the showing.
#include "HotkeyHook.h"

#include <atomic>

#include "HotkeyState.h"
#include "KeyEventRules.h"
#include "PanelMessages.h"

namespace {
std::atomic<HWND> s_requestTarget{nullptr};
std::atomic<bool> s_requestPosted{false};

void PostShowRequest()
{
    const HWND panel = s_requestTarget.load();
    if (panel == nullptr || s_requestPosted.exchange(true))
        return;
    // Fails only with the panel gone or its queue full; the next press tries again.
    if (!::PostMessageW(panel, kShowPanelRequest, 0, 0))
        s_requestPosted = false;
}
} // namespace

LRESULT CALLBACK HotkeyHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    ++g_hookCalls;
    if (nCode == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const KeyVerdict verdict = JudgeKeyEvent(nCode, wParam, event->vkCode, event->scanCode);
        if (verdict.examined) {
            if (verdict.panelRequested) {
                g_panelRequested = 1;
                PostShowRequest();
            }
            g_upKeyDown = verdict.upKeyDown ? 1 : 0;
            g_downKeyDown = verdict.downKeyDown ? 1 : 0;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void SetShowRequestTarget(HWND panel)
{
    s_requestTarget = panel;
    s_requestPosted = false;
}

void ShowRequestTaken() { s_requestPosted = false; }
