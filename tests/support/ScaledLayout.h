// Where the program puts its windows and controls at 96 dpi, worked out by hand from the dialog
// templates (dialog units in the base units Windows gives their fonts: 6 x 12 for the panel's
// 9-point 宋体, 8 x 16 for the pages' 10-point System) and the page offsets, for tests that check
// the layout at any scale: at `dpi` each edge is its 96-dpi place times dpi / 96.
#pragma once

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "DisplayScale.h"
#include "Geometry.h"
#include "resource.h"

// The DPI of this process's display (Wine's, from its prefix's LogPixels).
inline UINT DisplayDpi() { return afx::WindowDpi(nullptr); }

// The panel's five pages, in the program's creation order.
enum class ScaledPage { Switches, Volume, Brightness, Keyboard, TaskMgr, Count };

struct ControlPlace {
    int page;  // -1 for the panel itself, else a ScaledPage
    int id;
    CRect at96;  // in the client area of its dialog
    const char* name;
};

inline constexpr ControlPlace kControlsAt96[] = {
    {-1, IDC_PANEL_CLOSE, CRect(648, 18, 680, 36), "panel close 1007"},
    {-1, IDC_PANEL_AREA_1004, CRect(626, 18, 650, 36), "panel area 1004"},
    {-1, IDC_PANEL_AREA_1008, CRect(266, 225, 434, 258), "panel area 1008"},
    {-1, IDC_PANEL_AREA_1009, CRect(353, 279, 385, 348), "panel area 1009"},
    {-1, IDC_PANEL_AREA_1010, CRect(92, 296, 227, 343), "panel area 1010"},
    {-1, IDC_PANEL_AREA_1011, CRect(59, 71, 466, 373), "panel area 1011"},
    {-1, IDC_PANEL_AREA_1017, CRect(465, 71, 671, 217), "panel area 1017"},
    {0, IDC_SWITCH_CAMERA, CRect(8, 82, 52, 126), "camera 1004"},
    {0, IDC_SWITCH_WIRELESS, CRect(52, 82, 96, 126), "wireless 1005"},
    {0, IDC_SWITCH_BLUETOOTH, CRect(96, 82, 140, 126), "bluetooth 1006"},
    {0, IDC_SWITCH_3G, CRect(140, 82, 184, 126), "3G 1007"},
    {1, IDC_VOLUME_SLIDER, CRect(20, 90, 172, 120), "volume slider 1012"},
    {2, IDC_BRIGHTNESS_SLIDER, CRect(20, 92, 172, 122), "brightness slider 1014"},
    {3, IDC_KEYBOARD_LAUNCH, CRect(28, 62, 164, 112), "keyboard button 1015"},
    {4, IDC_TASKMGR_LAUNCH, CRect(12, 70, 180, 104), "task manager button 1016"},
};

// The panel at 96 dpi, and each page's rectangle relative to the panel's top-left corner (the
// switch page reaches the panel's bottom-right corner).
inline constexpr CSize kPanelAt96(724, 424);
inline constexpr CRect kPagesAt96[] = {
    CRect(60, 70, 724, 424), CRect(266, 76, 461, 209), CRect(473, 76, 668, 209),
    CRect(58, 226, 253, 359), CRect(266, 226, 461, 359),
};
static_assert(std::size(kPagesAt96) == static_cast<size_t>(ScaledPage::Count));

inline CRect PageAt(int page, const CRect& panel, UINT dpi)
{
    // The switch page ends where the panel does, whatever the rounding of its size.
    CRect rect = afx::ScaleToDpi(kPagesAt96[page], dpi);
    rect.OffsetRect(panel.left, panel.top);
    if (page == static_cast<int>(ScaledPage::Switches)) {
        rect.right = panel.right;
        rect.bottom = panel.bottom;
    }
    return rect;
}

// A window's rectangle in its parent's client coordinates.
inline CRect RectInParent(HWND control)
{
    CRect rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Pure red of the close mark as the screen shows it.
inline bool IsMarkRed(COLORREF c) { return GetRValue(c) >= 170 && GetGValue(c) <= 120 && GetBValue(c) <= 120; }

// A picture taken at `dpi` brought down to its size at 96 dpi, each pixel the mean of the pixels
// it covers (parts of pixels in proportion), as a high-quality reduction does.
template <class Picture>
std::vector<COLORREF> BroughtDownTo96(const Picture& picture, UINT dpi, int width96, int height96)
{
    const double s = dpi / 96.0;
    std::vector<COLORREF> out;
    out.reserve(static_cast<size_t>(width96) * height96);
    // How much of source pixel i lies within [from, to).
    const auto overlap = [](int i, double from, double to) { return std::min(i + 1.0, to) - std::max<double>(i, from); };
    for (int y = 0; y < height96; ++y)
        for (int x = 0; x < width96; ++x) {
            const double top = y * s, bottom = std::min((y + 1) * s, double(picture.Height()));
            const double left = x * s, right = std::min((x + 1) * s, double(picture.Width()));
            double r = 0, g = 0, b = 0, weight = 0;
            for (int sy = int(top); sy < bottom; ++sy)
                for (int sx = int(left); sx < right; ++sx) {
                    const double w = overlap(sy, top, bottom) * overlap(sx, left, right);
                    const COLORREF c = picture.At(sx, sy);
                    r += w * GetRValue(c);
                    g += w * GetGValue(c);
                    b += w * GetBValue(c);
                    weight += w;
                }
            out.push_back(weight > 0 ? RGB(int(r / weight + 0.5), int(g / weight + 0.5), int(b / weight + 0.5)) : 0);
        }
    return out;
}
