// An EC that never acknowledges anything, while the user shows the panel again and again and
// clicks the device switches of the running program: nothing is ever written, each show and each
// click costs the program one bounded wait for the read it tries (the switches never showed a
// state, so a click only asks), the GUI thread keeps answering, the hook keeps showing and hiding
// the panel, and once the EC answers again the next show finds the switches and a click changes
// just its own bit.
#include <gtest/gtest.h>

#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

// The switch buttons in the order of their bits.
constexpr int kSwitchIds[4] = {IDC_SWITCH_WIRELESS, IDC_SWITCH_3G, IDC_SWITCH_CAMERA, IDC_SWITCH_BLUETOOTH};

TEST(UnansweringEc, ShowsAndClicksCostOneBoundedWaitEachAndTheProgramStaysResponsive)
{
    TestTablet tablet;
    tablet.SetSwitches(0x06);
    tablet.SetAckNever();
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    // The start-up read went unanswered, so nothing was written back.
    EXPECT_EQ(tablet.Number("ec_reads"), 1);
    EXPECT_EQ(tablet.Number("ec_writes"), 0);
    EXPECT_EQ(tablet.Number("winio_open"), 0);

    TypeHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    HWND switchPage = program.Pages()[0];

    // Three rounds: every button clicked, then the panel hidden and shown again.
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        const long long reads = tablet.Number("ec_reads");
        for (int id : kSwitchIds) {
            ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(switchPage, id)));
            EXPECT_TRUE(Answers(program.Panel(), 2000)) << "round " << round;
        }
        EXPECT_TRUE(WaitFor([&] { return tablet.Number("ec_reads") == reads + 4; })) << "a click asks once";
        ProgramUnderTest::ClickAt(CentreOf(program.Control(program.Panel(), IDC_PANEL_CLOSE)));
        EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));
        TypeHotkey();
        EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
        EXPECT_TRUE(WaitFor([&] { return tablet.Number("ec_reads") == reads + 5; })) << "round " << round;
        EXPECT_TRUE(Answers(program.Panel(), 2000));
    }
    EXPECT_EQ(tablet.Number("ec_writes"), 0);
    EXPECT_EQ(tablet.Field("switches"), "0x06");
    EXPECT_EQ(tablet.Number("winio_open"), 0);  // every wait gave its port access back

    // The EC answers again: the next show reads it, and a click turns on just wireless.
    tablet.SetAckNow();
    ProgramUnderTest::ClickAt(CentreOf(program.Control(program.Panel(), IDC_PANEL_CLOSE)));
    EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));
    TypeHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    EXPECT_TRUE(Answers(program.Panel(), 2000));
    ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(switchPage, IDC_SWITCH_WIRELESS)));
    EXPECT_TRUE(WaitFor([&] { return tablet.Field("switches") == "0x07"; })) << tablet.Field("switches");
    EXPECT_EQ(tablet.Number("ec_writes"), 1);
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
