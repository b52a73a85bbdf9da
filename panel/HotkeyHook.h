// The low-level keyboard hook procedure, and where it sends the hotkey's request.
#pragma once

#include <windows.h>

// Counts itself, sets the shared flags for each key event and, for the hotkey, posts the panel
// kShowPanelRequest; passes every event on: no key is ever swallowed. It never waits, never
// sends a message and never touches a window, so no other program's keys wait on this one.
LRESULT CALLBACK HotkeyHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// The window the hotkey's request goes to (the panel), or none.
void SetShowRequestTarget(HWND panel);

// The panel has taken the request posted last: the next hotkey posts a new one. Until then
// further presses post nothing, so a held key cannot fill the panel's queue.
void ShowRequestTaken();
