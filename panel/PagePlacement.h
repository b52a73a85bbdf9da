// Where each page lies over the panel: fixed offsets from the panel's top-left corner.
#pragma once

#include "Geometry.h"

enum class PageKind { Switches, Volume, Brightness, Keyboard, TaskMgr };

// The four opaque pages all have this size; the switch page reaches the panel's bottom-right.
inline constexpr int kPageWidth = 195;
inline constexpr int kPageHeight = 133;

constexpr CRect PageRect(PageKind page, const CRect& panel)
{
    const int l = panel.left;
    const int t = panel.top;
    switch (page) {
    case PageKind::Switches:
        return CRect(l + 60, t + 70, panel.right, panel.bottom);
    case PageKind::Volume:
        return CRect(CPoint(l + 266, t + 76), CSize(kPageWidth, kPageHeight));
    case PageKind::Brightness:
        return CRect(CPoint(l + 473, t + 76), CSize(kPageWidth, kPageHeight));
    case PageKind::Keyboard:
        return CRect(CPoint(l + 58, t + 226), CSize(kPageWidth, kPageHeight));
    case PageKind::TaskMgr:
        return CRect(CPoint(l + 266, t + 226), CSize(kPageWidth, kPageHeight));
    }
    return {};
}
