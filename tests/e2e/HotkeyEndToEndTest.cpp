// The running program, driven only from outside: the tablet key shows the panel at once and its
// pages on the next tick, the close mark hides everything, and the key brings it all back.
#include <gtest/gtest.h>

#include "ProgramUnderTest.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

TEST(HotkeyEndToEnd, KeyShowsEverythingCloseMarkHidesItAndTheKeyBringsItBack)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(program.Pages().size(), 5u);
    EXPECT_FALSE(program.PanelVisible());
    EXPECT_FALSE(program.AnyPageVisible());
    EXPECT_EQ(tablet.Number("task_calls"), 1);

    program.PressHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible(); }));
    EXPECT_TRUE(WaitFor([&] { return program.AllPagesVisible(); }));
    const CRect panelRect = program.WindowRect(program.Panel());
    EXPECT_EQ(panelRect.Size(), CSize(724, 424));
    std::vector<CRect> places;
    for (HWND page : program.Pages())
        places.push_back(program.WindowRect(page));

    // The close mark: a real click on it.
    const CRect close = program.WindowRect(program.Control(program.Panel(), IDC_PANEL_CLOSE));
    ProgramUnderTest::ClickAt(CPoint(close.CenterX(), close.CenterY()));
    EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));

    program.PressHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    for (size_t i = 0; i < program.Pages().size(); ++i)
        EXPECT_EQ(program.WindowRect(program.Pages()[i]), places[i]);

    EXPECT_EQ(program.Close(), 0u);
    EXPECT_FALSE(program.Running());
}

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
