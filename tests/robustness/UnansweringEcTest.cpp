// An EC that never acknowledges anything, while the user clicks the device switches of the
// running program: each click costs the program one bounded wait, the GUI thread keeps answering,
// the hook keeps showing and hiding the panel, and the program's copy of the switches keeps every
// toggle, so the first write after the EC recovers carries them all.
#include <gtest/gtest.h>

#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

// The switch buttons in the order of their bits.
constexpr int kSwitchIds[4] = {IDC_SWITCH_WIRELESS, IDC_SWITCH_3G, IDC_SWITCH_CAMERA, IDC_SWITCH_BLUETOOTH};

TEST(UnansweringEc, ClicksCostBoundedWaitsAndTheProgramStaysResponsive)
{
    TestTablet tablet;
    tablet.SetSwitches(0x00);
    tablet.SetAckNever();
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    // The start-up read and four write-backs all went unanswered.
    EXPECT_EQ(tablet.Number("ec_reads"), 1);
    EXPECT_EQ(tablet.Number("ec_writes"), 4);
    EXPECT_EQ(tablet.Number("winio_open"), 0);

    TypeHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    HWND switchPage = program.Pages()[0];

    // Three rounds over the four buttons; the key pressed in between finds the panel already shown.
    // Each click is let finish before the next: a button keeps the mouse captured until its click
    // handler, with its wait, has returned, and input sent meanwhile would go to it.
    constexpr int kRounds = 3;
    long long writes = tablet.Number("ec_writes");
    for (int round = 0; round < kRounds; ++round) {
        for (int id : kSwitchIds) {
            ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(switchPage, id)));
            EXPECT_TRUE(WaitFor([&] { return tablet.Number("ec_writes") == writes + 1; })) << "round " << round;
            writes = tablet.Number("ec_writes");
            EXPECT_TRUE(Answers(program.Panel(), 2000)) << "round " << round;
        }
        TypeHotkey();
    }
    EXPECT_EQ(writes, 4 + kRounds * 4);
    EXPECT_TRUE(Answers(program.Panel(), 2000));
    EXPECT_EQ(tablet.Field("switches"), "0x00");  // the EC never took a command
    EXPECT_EQ(tablet.Number("winio_open"), 0);    // every wait gave its port access back
    EXPECT_TRUE(program.PanelVisible() && program.AllPagesVisible());

    // The hook is still there: the close mark hides everything and the key brings it back.
    ProgramUnderTest::ClickAt(CentreOf(program.Control(program.Panel(), IDC_PANEL_CLOSE)));
    EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));
    TypeHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));

    // The EC answers again: one more click writes every toggle made meanwhile (each bit flipped
    // three times is on), with wireless flipped once more.
    tablet.SetAckNow();
    EXPECT_TRUE(Answers(program.Panel(), 2000));
    ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(switchPage, IDC_SWITCH_WIRELESS)));
    EXPECT_TRUE(WaitFor([&] { return tablet.Field("switches") == "0x0E"; })) << tablet.Field("switches");
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
