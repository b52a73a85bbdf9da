// COffscreenDC: a memory DC with its own bitmap laid over a target DC and rectangle; when it is
// destroyed, what was drawn into it is copied onto the target in one block transfer. Page
// backgrounds and the image buttons' faces are composed through it, so nothing flickers.
#pragma once

#include "Afx.h"

class COffscreenDC : public CDC {
public:
    // `rect` is in the target's logical coordinates; the empty rectangle means the target's clip box.
    COffscreenDC(CDC* target, const CRect& rect = CRect());
    ~COffscreenDC() override;
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    CBitmap m_bitmap;                  // compatible with the target, the rectangle's size
    CBitmap* m_pOldBitmap = nullptr;   // what the memory DC held before m_bitmap (not owned)
    CDC* m_pTargetDC = nullptr;        // not owned
    CRect m_rect;
};

// Paints `background` over a page's client area: the page's default erase runs on `dc` first, then
// the bitmap, from its top-left corner and clipped to the client size, covers it in one copy.
// Without a bitmap the default erase is all the page shows (an off-screen DC's fresh bitmap has no
// defined content). Returns the default erase's result. `background` stays the page's and is
// selected out again before the call returns, so it serves every later erase.
template <class DefaultErase>
BOOL PaintPageBackground(CDC* dc, const CRect& client, HBITMAP background, DefaultErase&& defaultErase)
{
    if (background == nullptr)
        return defaultErase();
    BOOL erased = FALSE;
    {
        COffscreenDC offscreen(dc, client);
        offscreen.SelectObject(static_cast<HGDIOBJ>(background));
        erased = defaultErase();
    }
    return erased;
}
