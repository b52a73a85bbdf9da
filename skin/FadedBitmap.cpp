// Fading a bitmap's pixels toward a colour through a 32-bit copy of them.
#include "FadedBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "PageBitmap.h"

namespace {

BYTE Toward(BYTE from, BYTE to, int percent) { return static_cast<BYTE>(from + (to - from) * percent / 100); }

} // namespace

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

    percent = std::clamp(percent, 0, 100);
    for (RGBQUAD& pixel : pixels) {
        if (RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue) == key)
            continue;
        pixel.rgbRed = Toward(pixel.rgbRed, GetRValue(toward), percent);
        pixel.rgbGreen = Toward(pixel.rgbGreen, GetGValue(toward), percent);
        pixel.rgbBlue = Toward(pixel.rgbBlue, GetBValue(toward), percent);
    }
    return ::SetDIBits(screen.get(), bitmap, 0, rows, pixels.data(), &layout, DIB_RGB_COLORS) == rows;
}

afx::unique_hbitmap LoadFadedBitmap(UINT id, COLORREF key, COLORREF toward, int percent)
{
    afx::unique_hbitmap bitmap = LoadPageBitmap(id);
    if (!FadeBitmap(bitmap.get(), key, toward, percent))
        return {};
    return bitmap;
}
