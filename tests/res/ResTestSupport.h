// Helpers of the resource tests: raw resource bytes, PNG chunk, DIB and dialog template readers,
// GDI+ decoding, and where the panel puts its pages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace restest {

// The bytes of a resource of this test executable; empty when it is missing.
std::span<const std::uint8_t> ResourceBytes(int id, const wchar_t* type);

struct PngInfo {
    std::uint32_t width = 0, height = 0;
    std::uint8_t bitDepth = 0, colourType = 0;
    bool hasPhys = false;
    std::uint32_t ppuX = 0, ppuY = 0;
    std::uint8_t unit = 0;
};
// Reads IHDR and pHYs; a bad signature leaves everything zero.
PngInfo ReadPngInfo(std::span<const std::uint8_t> bytes);

struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Pixel&) const = default;
};

struct Image {
    int width = 0, height = 0;
    std::vector<Pixel> px;
    const Pixel& at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

// Decodes a "PNG" resource with GDI+, as the program does, into straight (not premultiplied) RGBA.
Image DecodePng(int id);

// Reads a bitmap resource (24 or 32 bits per pixel) into top-down RGB; bitCount receives its depth.
Image ReadDib(int id, int* bitCount = nullptr);

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    WORD classOrdinal = 0;  // 0 when the class is named
    std::wstring className;
    WORD textOrdinal = 0;   // 0 when the text is a string
    std::wstring text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring face;
    std::vector<DialogItem> items;
};
DialogTemplate ParseDialog(std::span<const std::uint8_t> bytes);

// Where the panel (724 x 424) puts things, in its own pixels.
struct Rect {
    int x, y, w, h;
    bool Contains(const Rect& r) const { return r.x >= x && r.y >= y && r.x + r.w <= x + w && r.y + r.h <= y + h; }
    bool operator==(const Rect&) const = default;
};
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << ")";
}
inline constexpr int kPageW = 195, kPageH = 133;
inline constexpr Rect kSwitchTile{58, 76, kPageW, kPageH};
inline constexpr Rect kVolumeTile{266, 76, kPageW, kPageH};
inline constexpr Rect kBrightnessTile{473, 76, kPageW, kPageH};
inline constexpr Rect kKeyboardTile{58, 226, kPageW, kPageH};
inline constexpr Rect kTaskMgrTile{266, 226, kPageW, kPageH};
inline constexpr int kSwitchPageX = 60, kSwitchPageY = 70;

// GDI+ draws a PNG stored at 3741 px/m (95.02 dpi) this much larger on a 96 dpi screen.
inline constexpr double kLauncherScale = 96.0 / (3741 * 0.0254);

}  // namespace restest
