// Bitmaps faded toward a colour, for a control that shows it cannot be used.
#pragma once

#include "Afx.h"
#include "ScaledArtwork.h"

// `colour` moved `percent` (0 to 100) of the way toward `toward`, channel by channel.
COLORREF FadeColour(COLORREF colour, COLORREF toward, int percent);

// Moves every pixel of `bitmap` but those of colour `key` `percent` (0 to 100) of the way toward
// `toward`, in place; the key pixels stay exactly `key`, so a mask made from them still cuts out
// the same shape. False when the pixels cannot be read or written (for instance while a DC holds
// the bitmap).
bool FadeBitmap(HBITMAP bitmap, COLORREF key, COLORREF toward, int percent);

// Bitmap resource `ids` at `dpi` (LoadScaledBitmap, with `key`), faded as FadeBitmap fades; null
// when it cannot be loaded or faded.
afx::unique_hbitmap LoadFadedBitmap(const ArtworkIds& ids, COLORREF key, COLORREF toward, int percent,
                                    UINT dpi = afx::kLayoutDpi);
