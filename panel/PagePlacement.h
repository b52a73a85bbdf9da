// Where each page lies over the panel: fixed offsets from the panel's top-left corner, in pixels of
// the 96-dpi layout, times the display scale.
#pragma once

#include "DisplayScale.h"
#include "Geometry.h"

enum class PageKind { Switches, Volume, Brightness, Keyboard, TaskMgr };

// The four opaque pages all have this size at 96 dpi; the switch page reaches the panel's
// bottom-right.
inline constexpr int kPageWidth = 195;
inline constexpr int kPageHeight = 133;

// The page's rectangle over `panel` (screen pixels) at `dpi`. Each edge is scaled from the
// layout's own, so a page's edges meet its tile's on the panel's scaled face.
constexpr CRect PageRect(PageKind page, const CRect& panel, UINT dpi = afx::kLayoutDpi)
{
    const auto place = [&](int x, int y) {
        const CRect scaled = afx::ScaleToDpi(CRect(x, y, x + kPageWidth, y + kPageHeight), dpi);
        return CRect(panel.left + scaled.left, panel.top + scaled.top, panel.left + scaled.right,
                     panel.top + scaled.bottom);
    };
    switch (page) {
    case PageKind::Switches:
        return CRect(panel.left + afx::ScaleToDpi(60, dpi), panel.top + afx::ScaleToDpi(70, dpi), panel.right,
                     panel.bottom);
    case PageKind::Volume:
        return place(266, 76);
    case PageKind::Brightness:
        return place(473, 76);
    case PageKind::Keyboard:
        return place(58, 226);
    case PageKind::TaskMgr:
        return place(266, 226);
    }
    return {};
}
