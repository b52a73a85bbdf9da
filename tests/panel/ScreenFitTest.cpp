// Where the panel goes after a screen change: it stays while it fits a work area, and otherwise
// moves the least distance into one; too big, it keeps its top-right corner in.
#include <gtest/gtest.h>

#include "ScreenFit.h"

namespace {

const CSize kPanel(724, 424);
const CRect kScreen(0, 0, 1280, 800);

CRect PanelAt(int x, int y) { return CRect(CPoint(x, y), kPanel); }

TEST(ScreenFit, APanelThatStillFitsStaysWhereTheUserPutIt)
{
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(10, 20), {kScreen}), CPoint(10, 20));
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(1280 - 724, 800 - 424), {kScreen}), CPoint(556, 376));  // touching
    // Wholly on the second monitor: the primary's area does not pull it back.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(1400, 100), {kScreen, CRect(1280, 0, 3200, 1080)}), CPoint(1400, 100));
    // Nothing known about the screen: nowhere better to go.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(-5000, 9), {}), CPoint(-5000, 9));
}

TEST(ScreenFit, APanelPartlyOutsideMovesBackInTheLeastDistance)
{
    // The taskbar grew at the bottom: only up, by the overlap.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(300, 350), {CRect(0, 0, 1280, 740)}), CPoint(300, 316));
    // Off two edges: both axes, each by its own overlap.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(-30, 500), {kScreen}), CPoint(0, 376));
    // The screen rotated to portrait (800 x 1280): only the overflowing axis moves.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(300, 200), {CRect(0, 0, 800, 1280)}), CPoint(76, 200));
    // A display unplugged: the panel was out there, and comes to the nearest edge of what is left.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(1500, 300), {kScreen}), CPoint(556, 300));
}

TEST(ScreenFit, BetweenMonitorsThePanelGoesWhereTheMoveIsShortest)
{
    const CRect left(0, 0, 1280, 800);
    const CRect right(1280, 0, 3200, 1080);
    // Mostly on the right monitor: a short move right beats a long one left.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(1200, 100), {left, right}), CPoint(1280, 100));
    // Mostly on the left one.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(800, 100), {left, right}), CPoint(556, 100));
    // An empty area (a monitor reporting nothing) is no place to go.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(1000, 100), {CRect(1100, 0, 1100, 0), left}), CPoint(556, 100));
}

TEST(ScreenFit, APanelBiggerThanTheWorkAreaKeepsItsTopRightCornerInside)
{
    // A portrait 600 x 1024 tablet: too narrow, so the right edge (the close mark) aligns.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(50, 300), {CRect(0, 0, 600, 1024)}), CPoint(600 - 724, 300));
    // Too low as well: the top edge (the title) aligns.
    EXPECT_EQ(PlaceWithinWorkAreas(PanelAt(50, 300), {CRect(0, 40, 600, 400)}), CPoint(600 - 724, 40));
}

} // namespace
