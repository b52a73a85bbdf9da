// The least a low-level hook can do for the tablet key; kept apart so the in-process hook
// benchmark can call it next to the program's own hook procedure.
#include "FloorHook.h"

HWND g_floorWindow = nullptr;

namespace {
bool IsTabletKey(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode != HC_ACTION || (wParam != WM_KEYDOWN && wParam != WM_SYSKEYDOWN && wParam != WM_SYSKEYUP))
        return false;
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    return event->vkCode == 0xFF && event->scanCode == 0x2C && g_floorWindow != nullptr;
}
} // namespace

LRESULT CALLBACK FloorHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (IsTabletKey(nCode, wParam, lParam))
        ::ShowWindow(g_floorWindow, SW_SHOW);
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK ZeroFloorHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (IsTabletKey(nCode, wParam, lParam))
        ::PostMessageW(g_floorWindow, kZeroFloorShowRequest, 0, 0);
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
