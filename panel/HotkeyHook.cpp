// The keyboard hook. It runs on the GUI thread inside its message retrieval, and the system drops
// a low-level hook that keeps it waiting, so it only sets flags and, for the hotkey, shows the panel.
#include "HotkeyHook.h"

#include "Afx.h"
#include "HotkeyState.h"
#include "KeyEventRules.h"

LRESULT CALLBACK HotkeyHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const KeyVerdict verdict = JudgeKeyEvent(nCode, wParam, event->vkCode, event->scanCode);
        if (verdict.examined) {
            if (verdict.panelRequested) {
                g_panelRequested = 1;
                if (CWnd* panel = AfxGetThread()->GetMainWnd(); panel != nullptr && panel->m_hWnd != nullptr)
                    panel->ShowWindow(SW_SHOW);
            }
            g_upKeyDown = verdict.upKeyDown ? 1 : 0;
            g_downKeyDown = verdict.downKeyDown ? 1 : 0;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void InstallHotkeyHook()
{
    g_hHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, HotkeyHookProc, AfxGetInstanceHandle(), 0);
}

void RemoveHotkeyHook()
{
    if (g_hHook != nullptr)
        ::UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
}
