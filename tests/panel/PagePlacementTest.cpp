// Page placement relative to the panel, including panels off the screen's edges.
#include <gtest/gtest.h>

#include "PagePlacement.h"

namespace {

TEST(PagePlacement, PagesSitAtFixedOffsetsAndTheSwitchPageReachesTheCorner)
{
    const CRect panel(100, 50, 100 + 724, 50 + 424);
    EXPECT_EQ(PageRect(PageKind::Switches, panel), CRect(160, 120, 824, 474));
    EXPECT_EQ(PageRect(PageKind::Switches, panel).Size(), CSize(664, 354));
    EXPECT_EQ(PageRect(PageKind::Volume, panel), CRect(366, 126, 366 + 195, 126 + 133));
    EXPECT_EQ(PageRect(PageKind::Brightness, panel), CRect(573, 126, 573 + 195, 126 + 133));
    EXPECT_EQ(PageRect(PageKind::Keyboard, panel), CRect(158, 276, 158 + 195, 276 + 133));
    EXPECT_EQ(PageRect(PageKind::TaskMgr, panel), CRect(366, 276, 366 + 195, 276 + 133));
}

TEST(PagePlacement, NothingIsClampedAtOrBeyondTheScreenEdges)
{
    const CRect offLeftTop(-700, -400, 24, 24);
    EXPECT_EQ(PageRect(PageKind::Volume, offLeftTop).TopLeft(), CPoint(-434, -324));
    EXPECT_EQ(PageRect(PageKind::Switches, offLeftTop), CRect(-640, -330, 24, 24));
    const CRect farRight(5000, 3000, 5724, 3424);
    EXPECT_EQ(PageRect(PageKind::TaskMgr, farRight).TopLeft(), CPoint(5266, 3226));
}

} // namespace
