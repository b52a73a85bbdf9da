// The artwork at every display scale. At 96 dpi a picture is the design's resource, pixel for
// pixel; at any other DPI it is the same picture drawn at twice the size (a "PNG" resource of its
// own), brought to the exact size of the design's picture times dpi / 96 with high-quality
// filtering, or the design's own picture so scaled when the larger one is missing.
#pragma once

#include <memory>

#include "Afx.h"
#include "DisplayScale.h"
#include "Gdiplus.h"
#include "ResourceImage.h"

// One picture's resources: the design's (a bitmap, or a "PNG" where the design has one), and the
// "PNG" that draws it at twice the size (0 for none).
struct ArtworkIds {
    // A design's picture alone converts to its ids, so calls that know only it still read plainly.
    constexpr ArtworkIds(UINT normalId = 0, UINT twiceId = 0) noexcept : normal(normalId), twice(twiceId) {}
    UINT normal;
    UINT twice;
};

// Bitmap resource `ids.normal` for `dpi`: at 96 dpi the resource as it is; otherwise a 32-bit
// bitmap of its size times dpi / 96, made from `ids.twice` (or from the bitmap itself when that is
// missing or does not decode). With a colour `key` (CLR_INVALID for none) the key's pixels are
// see-through: they stay exactly the key, none of them is blended into a neighbour, and no other
// pixel becomes the key. Null when no picture can be loaded.
afx::unique_hbitmap LoadScaledBitmap(const ArtworkIds& ids, UINT dpi, COLORREF key = CLR_INVALID);

// A "PNG" picture for `dpi`: the design's at 96 dpi; at any other the larger one if it decodes,
// else the design's. `factor` is how many pixels of the picture stand for one of the design's.
struct ScaledPicture {
    std::unique_ptr<CResourceImage> image;  // empty when nothing decoded
    int factor = 1;
};
ScaledPicture LoadScaledPicture(const ArtworkIds& ids, LPCWSTR type, UINT dpi);

// Draws `image` (all of it) into `destination` with high-quality bicubic filtering, pixel centres
// at half-pixel offsets, and the image's edges mirrored beyond it, so scaling darkens no edge;
// `matrix`, when given, adjusts its colours. The GDI+ status.
GpStatus DrawImageScaled(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image, const Gdiplus::RectF& destination,
                         const Gdiplus::ColorMatrix* matrix = nullptr);
