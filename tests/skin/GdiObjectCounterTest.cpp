// The tally the leak checks rest on: it must see what this executable makes and frees, and must
// not take a deletion that only Wine accepts for a release.
#include <gtest/gtest.h>

#include "GdiObjectCounter.h"

namespace {

TEST(GdiObjectCounter, CountsWhatIsMadeUntilItIsFreedAndKeepsAnObjectDeletedWhileSelected)
{
    gdi_count::Install();
    const size_t start = gdi_count::Live();
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 4);
    EXPECT_EQ(gdi_count::Live(), start + 3);

    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::DeleteObject(bitmap);  // still selected: not released
    EXPECT_EQ(gdi_count::Live(), start + 3);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(gdi_count::Live(), start);
}

} // namespace
