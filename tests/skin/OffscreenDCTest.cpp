// The off-screen DC and the page background painted through it, checked by their pixels.
#include <gtest/gtest.h>

#include "Canvas.h"
#include "GdiObjectCounter.h"
#include "OffscreenDC.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kBlue = RGB(10, 40, 230);
constexpr COLORREF kErased = RGB(30, 200, 60);

// A page-sized picture whose every pixel can be told apart, its last column magenta.
afx::unique_hbitmap MakePageBitmap(int width, int height)
{
    Canvas picture(width, height, RGB(0, 0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, y, x == width - 1 ? RGB(255, 0, 255) : RGB(x, y, 77));
    afx::unique_window_dc screen(nullptr);
    afx::unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    afx::unique_hdc dc(::CreateCompatibleDC(screen.get()));
    afx::select_object_guard select(dc.get(), bitmap.get());
    ::BitBlt(dc.get(), 0, 0, width, height, picture.dc(), 0, 0, SRCCOPY);
    return bitmap;
}

TEST(OffscreenDC, AnEmptyRectangleCoversTheTargetsClipBoxAtItsLogicalCoordinates)
{
    Canvas target(100, 80, kWhite);
    ::IntersectClipRect(target.dc(), 10, 20, 50, 40);
    {
        COffscreenDC offscreen(target.cdc());
        EXPECT_EQ(offscreen.m_rect, CRect(10, 20, 50, 40));
        EXPECT_EQ(offscreen.m_pTargetDC, target.cdc());
        EXPECT_NE(offscreen.m_pOldBitmap, nullptr);
        offscreen.FillSolidRect(0, 0, 100, 80, kRed);
        offscreen.FillSolidRect(10, 20, 1, 1, kBlue);  // the clip box's corner is the bitmap's origin
        EXPECT_EQ(target.At(11, 21), kWhite);           // nothing reaches the target before the end
    }
    EXPECT_EQ(target.At(10, 20), kBlue);
    EXPECT_EQ(target.At(11, 20), kRed);
    EXPECT_EQ(target.At(49, 39), kRed);
    for (POINT outside : {POINT{9, 20}, POINT{10, 19}, POINT{50, 39}, POINT{49, 40}})
        EXPECT_EQ(target.At(outside.x, outside.y), kWhite) << outside.x << "," << outside.y;
}

TEST(OffscreenDC, AGivenRectangleIsCopiedBackOnceAndWhatItMadeIsFreed)
{
    gdi_count::Install();
    Canvas target(60, 40, kWhite);
    Canvas other(60, 40, kWhite);
    const size_t before = gdi_count::Live();
    {
        COffscreenDC offscreen(target.cdc(), CRect(5, 6, 25, 16));
        EXPECT_EQ(offscreen.m_rect, CRect(5, 6, 25, 16));
        offscreen.FillSolidRect(5, 6, 20, 10, kRed);
        offscreen.FillSolidRect(24, 15, 1, 1, kBlue);
        EXPECT_GT(gdi_count::Live(), before);
    }
    EXPECT_EQ(gdi_count::Live(), before);
    EXPECT_EQ(target.At(5, 6), kRed);
    EXPECT_EQ(target.At(24, 15), kBlue);
    EXPECT_EQ(target.At(4, 6), kWhite);
    EXPECT_EQ(target.At(25, 15), kWhite);
    EXPECT_EQ(target.At(24, 16), kWhite);
}

TEST(PageBackground, TheBitmapCoversTheDefaultEraseFromItsCornerCutAtTheClientEdgeAndServesAgain)
{
    gdi_count::Install();
    afx::unique_hbitmap page = MakePageBitmap(196, 133);
    const size_t before = gdi_count::Live();
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        Canvas window(200, 140, kWhite);
        int erases = 0;
        // The default erase's answer comes back, whatever it is.
        const BOOL answer = pass == 0 ? TRUE : FALSE;
        const BOOL result = PaintPageBackground(window.cdc(), CRect(0, 0, 195, 133), page.get(), [&] {
            ++erases;
            window.cdc()->FillSolidRect(0, 0, 200, 140, kErased);
            return answer;
        });
        EXPECT_EQ(result, answer);
        EXPECT_EQ(erases, 1);
        int wrong = 0;
        for (int y = 0; y < 133; ++y)
            for (int x = 0; x < 195; ++x)
                wrong += window.At(x, y) != RGB(x, y, 77);
        EXPECT_EQ(wrong, 0);
        // The picture's last column stays outside; the erase shows beyond the client area.
        for (int y = 0; y < 133; ++y)
            EXPECT_EQ(window.At(195, y), kErased) << y;
        EXPECT_EQ(window.At(0, 133), kErased);
        // Still the page's, and no longer held by any DC: another one can take it.
        afx::unique_hdc other(::CreateCompatibleDC(window.dc()));
        afx::select_object_guard select(other.get(), page.get());
        EXPECT_NE(select.previous(), nullptr);
    }
    EXPECT_EQ(gdi_count::Live(), before);  // the off-screen DC's own bitmap went, though not selected
}

TEST(PageBackground, WithoutABitmapTheDefaultEraseIsWhatShows)
{
    Canvas window(195, 133, kWhite);
    const BOOL result = PaintPageBackground(window.cdc(), CRect(0, 0, 195, 133), nullptr, [&] {
        window.cdc()->FillSolidRect(0, 0, 195, 133, kErased);
        return TRUE;
    });
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(window.At(0, 0), kErased);
    EXPECT_EQ(window.At(194, 132), kErased);
}

} // namespace
