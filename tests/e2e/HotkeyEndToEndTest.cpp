// Two copies of the program at once: each has its own panel and hook, so one key shows both, and
// ending one leaves the other running.
#include <gtest/gtest.h>

#include "ProgramUnderTest.h"
#include "TestTablet.h"

namespace {

TEST(HotkeyEndToEnd, TwoStartsMakeTwoIndependentPanels)
{
    TestTablet tablet;
    ProgramUnderTest first;
    ProgramUnderTest second;
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(second.Started());
    EXPECT_NE(first.Panel(), second.Panel());
    EXPECT_EQ(tablet.Number("task_calls"), 2);
    first.PressHotkey();  // one key, two hooks: both panels come up
    EXPECT_TRUE(WaitFor([&] { return first.PanelVisible() && second.PanelVisible(); }));
    EXPECT_EQ(first.Close(), 0u);
    EXPECT_TRUE(second.Running());
}

} // namespace
