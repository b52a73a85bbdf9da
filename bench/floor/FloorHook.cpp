// The least a low-level hook can do for the tablet key; kept apart so the in-process hook
// benchmark can call it next to the program's own hook procedure.
#include "FloorHook.h"

HWND g_floorWindow = nullptr;

LRESULT CALLBACK FloorHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN || wParam == WM_SYSKEYUP)) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (event->vkCode == 0xFF && event->scanCode == 0x2C && g_floorWindow != nullptr)
            ::ShowWindow(g_floorWindow, SW_SHOW);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
