// The keyboard hook. It runs on the GUI thread inside its message retrieval, and the system drops
// a low-level hook that keeps it waiting, so it only counts itself, sets flags and, for the
// hotkey, shows the panel and posts it the request to show its pages.
#include "HotkeyHook.h"

#include "Afx.h"
#include "HotkeyState.h"
#include "KeyEventRules.h"
#include "PanelMessages.h"

LRESULT CALLBACK HotkeyHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    ++g_hookCalls;
    if (nCode == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const KeyVerdict verdict = JudgeKeyEvent(nCode, wParam, event->vkCode, event->scanCode);
        if (verdict.examined) {
            if (verdict.panelRequested) {
                g_panelRequested = 1;
                if (CWnd* panel = AfxGetThread()->GetMainWnd(); panel != nullptr && panel->m_hWnd != nullptr) {
                    panel->ShowWindow(SW_SHOW);
                    // The show timer would find the request within 100 ms; the message, at once.
                    // While the panel is shown it brings back the pages hidden on their own.
                    panel->PostMessage(kShowPagesRequest);
                }
            }
            g_upKeyDown = verdict.upKeyDown ? 1 : 0;
            g_downKeyDown = verdict.downKeyDown ? 1 : 0;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

namespace {
HHOOK NewHook() { return ::SetWindowsHookExW(WH_KEYBOARD_LL, HotkeyHookProc, AfxGetInstanceHandle(), 0); }
} // namespace

void InstallHotkeyHook() { g_hHook = NewHook(); }

void ReinstallHotkeyHook()
{
    const HHOOK fresh = NewHook();
    if (fresh == nullptr)
        return;
    // The old one may be gone already; removing it again does no harm.
    if (g_hHook != nullptr)
        ::UnhookWindowsHookEx(g_hHook);
    g_hHook = fresh;
}

void RemoveHotkeyHook()
{
    if (g_hHook != nullptr)
        ::UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
}
