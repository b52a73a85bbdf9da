// The two layered-window calls, fetched by name from the window manager's DLL at run time. Each
// returns false, doing nothing, when the entry point is not there.
#pragma once

#include <windows.h>

// Shows the content of `source` on layered window `hwnd` at `position` and `size`, blended by
// its per-pixel alpha as `blend` says.
bool UpdateLayeredWindowByName(HWND hwnd, HDC destination, POINT* position, SIZE* size, HDC source,
                               POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);

// Makes every pixel of layered window `hwnd` that has colour `key` see-through.
bool SetLayeredWindowAttributesByName(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
