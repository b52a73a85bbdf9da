// Simple measures of what the screen shows, for checks that must not depend on the exact artwork:
// how much two pictures differ, how bright a picture is, how many of its pixels are green, and
// where a slider's thumb lies.
#pragma once

#include <algorithm>
#include <vector>

#include "ProgramTestSupport.h"
#include "ProgramUnderTest.h"

// Pixels that differ by more than a little between two pictures of the same size, leaving out
// those inside `except` (rectangles relative to the pictures' top-left).
inline int Differing(const ScreenCapture& a, const ScreenCapture& b, const std::vector<CRect>& except = {})
{
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const bool excepted =
                std::any_of(except.begin(), except.end(), [&](const CRect& r) { return r.PtInRect(CPoint(x, y)); });
            differing += !excepted && ColourDistance(a.At(x, y), b.At(x, y)) > 8;
        }
    return differing;
}

// The mean of the three channels over the picture, 0 to 255.
inline double MeanBrightness(const ScreenCapture& picture)
{
    double sum = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const COLORREF c = picture.At(x, y);
            sum += (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3.0;
        }
    const int count = picture.Width() * picture.Height();
    return count > 0 ? sum / count : 0;
}

// Pixels clearly green: the green channel well above both others (a switch that is on glows green;
// one that is off is grey).
inline int GreenPixels(const ScreenCapture& picture)
{
    int green = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const COLORREF c = picture.At(x, y);
            green += GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40;
        }
    return green;
}

// Where the centre of a horizontal trackbar's thumb lies for `pos` (Wine's trackbar of the pages'
// size: the thumb's left edge runs from 8 at the lowest position to 133 at the highest, 11 pixels
// wide, 21 high from y 2).
inline CPoint ThumbCentre(const CRect& slider, int pos, int lowest, int highest)
{
    const int left = 8 + (133 - 8) * (pos - lowest) / (highest - lowest);
    return CPoint(slider.left + left + 5, slider.top + 2 + 10);
}

// The screen in `rect` once it has settled: the compositor draws what was just shown a little
// later, so pictures are taken until two in a row agree (for up to ten seconds).
inline ScreenCapture SettledPicture(const RECT& rect)
{
    ScreenCapture last(rect);
    WaitFor([&] {
        ScreenCapture next(rect);
        const bool same = Differing(next, last) == 0;
        last = next;
        return same;
    });
    return last;
}
