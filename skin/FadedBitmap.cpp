// Fading a bitmap's pixels toward a colour through a 32-bit copy of them.
#include "FadedBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <vector>


namespace {

BYTE Toward(BYTE from, BYTE to, int percent) { return static_cast<BYTE>(from + (to - from) * percent / 100); }

} // namespace

COLORREF FadeColour(COLORREF colour, COLORREF toward, int percent)
{
    percent = std::clamp(percent, 0, 100);
    return RGB(Toward(GetRValue(colour), GetRValue(toward), percent), Toward(GetGValue(colour), GetGValue(toward), percent),
               Toward(GetBValue(colour), GetBValue(toward), percent));
}

bool FadeBitmap(HBITMAP bitmap, COLORREF key, COLORREF toward, int percent)
{
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0)
        return false;
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof layout.bmiHeader;
    layout.bmiHeader.biWidth = info.bmWidth;
    layout.bmiHeader.biHeight = -std::abs(info.bmHeight);  // top-down
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = 32;
    layout.bmiHeader.biCompression = BI_RGB;
    const int rows = std::abs(info.bmHeight);
    std::vector<RGBQUAD> pixels(static_cast<size_t>(info.bmWidth) * rows);
    afx::unique_window_dc screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, rows, pixels.data(), &layout, DIB_RGB_COLORS) != rows)
        return false;

    for (RGBQUAD& pixel : pixels) {
        const COLORREF colour = RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue);
        if (colour == key)
            continue;
        const COLORREF faded = FadeColour(colour, toward, percent);
        pixel.rgbRed = GetRValue(faded);
        pixel.rgbGreen = GetGValue(faded);
        pixel.rgbBlue = GetBValue(faded);
    }
    return ::SetDIBits(screen.get(), bitmap, 0, rows, pixels.data(), &layout, DIB_RGB_COLORS) == rows;
}

afx::unique_hbitmap LoadFadedBitmap(const ArtworkIds& ids, COLORREF key, COLORREF toward, int percent, UINT dpi)
{
    afx::unique_hbitmap bitmap = LoadScaledBitmap(ids, dpi, key);
    if (!FadeBitmap(bitmap.get(), key, toward, percent))
        return {};
    return bitmap;
}
