// Pointer input played through the X server (xdotool's XTEST), as a real mouse or finger reaches
// a program under Wine. Unlike input sent with SendInput, which Wine hands to the topmost window
// whose rectangle holds the point, X delivers it by the windows' shapes, so see-through pixels
// (colour key, zero alpha) pass it on as Windows does.
#pragma once

#include <windows.h>

#include <string>

// Whether xdotool is there to play with.
bool XPointerAvailable();

// Plays an xdotool command list ("mousemove 10 20 mousedown 1 ...") and waits until it has run.
bool PlayXPointer(const std::wstring& commands);

// Puts the X server's pointer at `at`, without a button.
bool XMoveTo(POINT at);
// A press at `from`, a pull in `steps` moves to `to`, and the release there.
bool XDrag(POINT from, POINT to, int steps = 5);
bool XClick(POINT at);
