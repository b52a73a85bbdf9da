// Real input through the system's input queue, as the tablet's driver and the user give it.
#pragma once

#include <windows.h>

// The tablet key's down or its up alone (virtual key 0xFF, scan code 0x2C).
bool SendHotkey(bool down);

void MouseMoveTo(POINT screen);
void MouseButton(bool down);

// The screen centre of a window.
POINT CentreOf(HWND hwnd);

// A left click at `screen`, only if the window there is `expected` (another window in the way
// would take it). Whether it was sent.
bool ClickOn(HWND expected, POINT screen);

// Presses at `from`, moves to `to` in a few steps and releases: a drag of a slider's thumb.
// Only if the window at `from` is `expected`.
bool DragOn(HWND expected, POINT from, POINT to);
