// Loading a bitmap resource (a page's background, a slider's thumb, a picture to fade) from the
// module that holds it.
#pragma once

#include "Afx.h"

// The bitmap resource `id` at its natural size, or null when it cannot be loaded.
inline afx::unique_hbitmap LoadPageBitmap(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP);
    return afx::unique_hbitmap(
        static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}
