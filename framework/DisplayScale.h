// The display scale: a layout made in pixels at 96 dpi, brought to the dots per inch of the
// monitor a window shows on, and the DPI the system gives a window.
#pragma once

#include <windows.h>

#include "Geometry.h"

namespace afx {

// 100 %: the DPI every layout of the program is drawn for.
inline constexpr UINT kLayoutDpi = 96;

// `pixels` of the 96-dpi layout at `dpi`, to the nearest pixel, halves away from zero (as MulDiv
// rounds).
constexpr int ScaleToDpi(int pixels, UINT dpi) noexcept
{
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kLayoutDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi : -((-product + half) / kLayoutDpi));
}

// Each edge scaled on its own, so things that meet at 96 dpi still meet at any scale.
constexpr CRect ScaleToDpi(const CRect& rect, UINT dpi) noexcept
{
    return CRect(ScaleToDpi(rect.left, dpi), ScaleToDpi(rect.top, dpi), ScaleToDpi(rect.right, dpi),
                 ScaleToDpi(rect.bottom, dpi));
}

constexpr CSize ScaleToDpi(const CSize& size, UINT dpi) noexcept
{
    return CSize(ScaleToDpi(size.cx, dpi), ScaleToDpi(size.cy, dpi));
}

// The DPI the system lays `hwnd` out for: its monitor's where Windows tells a window's own
// (GetDpiForWindow, Windows 10 1607 and later), the system's otherwise (the screen's LOGPIXELSX,
// which a DPI-aware program reads unvirtualised). Never 0.
UINT WindowDpi(HWND hwnd);

} // namespace afx
