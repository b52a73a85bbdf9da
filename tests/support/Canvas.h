// A memory DC over a 32-bit top-down DIB for pixel checks: draw into it through dc() or cdc(),
// then read any pixel back.
#pragma once

#include <windows.h>

#include <vector>

#include "Afx.h"

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_bitmap.reset(::CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                          nullptr, 0));
        m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
        m_cdc.Attach(m_dc.get());
        Fill(CRect(0, 0, width, height), fill);
    }
    ~Canvas()
    {
        m_cdc.Detach();
        ::SelectObject(m_dc.get(), m_old);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc.get(); }
    CDC* cdc() { return &m_cdc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(const RECT& rect, COLORREF colour)
    {
        // Straight into the pixels: neither the DC's clipping nor its origin applies.
        ::GdiFlush();
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                Set(x, y, colour);
    }
    void Set(int x, int y, COLORREF colour)
    {
        m_bits[static_cast<size_t>(y) * m_width + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD p = m_bits[static_cast<size_t>(y) * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int m_width;
    int m_height;
    DWORD* m_bits = nullptr;
    afx::unique_hbitmap m_bitmap;
    afx::unique_hdc m_dc;
    HGDIOBJ m_old = nullptr;
    CDC m_cdc;
};

// The pixels of a bitmap, read through a 32-bit DIB; width and height come back too.
inline std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    *width = info.bmWidth;
    *height = info.bmHeight;
    Canvas canvas(info.bmWidth, info.bmHeight, RGB(0, 0, 0));
    afx::unique_hdc source(::CreateCompatibleDC(canvas.dc()));
    afx::select_object_guard select(source.get(), bitmap);
    ::BitBlt(canvas.dc(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}
