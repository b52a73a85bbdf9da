// The floors' keyboard hooks: show the floor's window for the tablet key, or post it a request to
// show itself, and nothing else.
#pragma once

#include <windows.h>

// The window the hook shows; set once the floor's dialog exists.
extern HWND g_floorWindow;

// Shows g_floorWindow on a key-down, system key-down or system key-up of virtual key 0xFF with
// scan code 0x2C, and passes every event on.
LRESULT CALLBACK FloorHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// The zero floor's hook: for the same events, only posts g_floorWindow kZeroFloorShowRequest.
inline constexpr UINT kZeroFloorShowRequest = WM_APP + 1;
LRESULT CALLBACK ZeroFloorHookProc(int nCode, WPARAM wParam, LPARAM lParam);
