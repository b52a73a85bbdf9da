// Where the panel belongs after the screen changed (a rotation, a new resolution, a display
// plugged in or out, a taskbar that grew or moved): the rule alone, apart from the OS.
#pragma once

#include <cstdlib>
#include <vector>

#include "Geometry.h"

namespace screen_fit {

// One axis: the least move that brings [pos, pos + size) inside [low, high). Too long to fit, it
// keeps its leading edge when `keepFar` is false and its trailing edge when true.
constexpr int FitAxis(int pos, int size, int low, int high, bool keepFar)
{
    if (size > high - low)
        return keepFar ? high - size : low;
    if (pos < low)
        return low;
    if (pos + size > high)
        return high - size;
    return pos;
}

constexpr bool Inside(const CRect& inner, const CRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace screen_fit

// The panel's new top-left corner. A panel that lies wholly within one monitor's work area stays
// where the user put it; otherwise it moves into the work area that needs the least move. One too
// big for a work area keeps its top-right corner, with the title and the close mark, inside. With
// no work area known, it stays.
inline CPoint PlaceWithinWorkAreas(const CRect& panel, const std::vector<CRect>& workAreas)
{
    for (const CRect& area : workAreas) {
        if (screen_fit::Inside(panel, area))
            return panel.TopLeft();
    }
    CPoint best = panel.TopLeft();
    long bestDistance = -1;
    for (const CRect& area : workAreas) {
        if (area.IsRectEmpty())
            continue;
        const CPoint to(screen_fit::FitAxis(panel.left, panel.Width(), area.left, area.right, true),
                        screen_fit::FitAxis(panel.top, panel.Height(), area.top, area.bottom, false));
        const long distance = std::labs(to.x - panel.left) + std::labs(to.y - panel.top);
        if (bestDistance < 0 || distance < bestDistance) {
            best = to;
            bestDistance = distance;
        }
    }
    return best;
}
