// Point, size and rectangle values with the small helpers the window and drawing code use.
#pragma once

#include <windows.h>

class CSize : public SIZE {
public:
    constexpr CSize() noexcept : SIZE{0, 0} {}
    constexpr CSize(int cxIn, int cyIn) noexcept : SIZE{cxIn, cyIn} {}
    constexpr CSize(SIZE s) noexcept : SIZE(s) {}
    constexpr bool operator==(const CSize& o) const noexcept { return cx == o.cx && cy == o.cy; }
};

class CPoint : public POINT {
public:
    constexpr CPoint() noexcept : POINT{0, 0} {}
    constexpr CPoint(int xIn, int yIn) noexcept : POINT{xIn, yIn} {}
    constexpr CPoint(POINT p) noexcept : POINT(p) {}
    // Unpacks a message's lParam: signed client coordinates in the low and high words.
    explicit CPoint(LPARAM lParam) noexcept
        : POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))} {}
    void Offset(int dx, int dy) noexcept { x += dx; y += dy; }
    constexpr bool operator==(const CPoint& o) const noexcept { return x == o.x && y == o.y; }
};

class CRect : public RECT {
public:
    constexpr CRect() noexcept : RECT{0, 0, 0, 0} {}
    constexpr CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) noexcept : RECT(r) {}
    constexpr CRect(POINT topLeft, SIZE size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    constexpr int Width() const noexcept { return right - left; }
    constexpr int Height() const noexcept { return bottom - top; }
    constexpr CSize Size() const noexcept { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const noexcept { return {left, top}; }
    constexpr int CenterX() const noexcept { return (left + right) / 2; }
    constexpr int CenterY() const noexcept { return (top + bottom) / 2; }
    constexpr bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(POINT p) const noexcept { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void OffsetRect(int dx, int dy) noexcept { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(POINT p) noexcept { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) noexcept { left -= dx; right += dx; top -= dy; bottom += dy; }
    void InflateRect(int l, int t, int r, int b) noexcept { left -= l; top -= t; right += r; bottom += b; }

    operator RECT*() noexcept { return this; }
    operator const RECT*() const noexcept { return this; }
    constexpr bool operator==(const CRect& o) const noexcept
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
