// Hundreds of hotkey presses and close-mark clicks on the running program, at every pace from
// "as fast as input goes" to "after the pages are up", in every order. Whatever the race, the
// program never ends up half-shown: at every checkpoint the key brings up the panel with all its
// pages, and the close mark hides them all.
#include <gtest/gtest.h>

#include <random>

#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

TEST(HotkeyCloseCycles, EveryRaceEndsShownAfterAKeyAndHiddenAfterAClose)
{
    constexpr int kCycles = 200;
    constexpr int kCheckEvery = 20;
    // How long a cycle waits for what it waits for. Not a check: a key pressed just after a click
    // is handled first (the hook runs ahead of queued input), so the click that follows can hide
    // what the key showed, and the wait then simply ends.
    constexpr DWORD kPaceMs = 400;
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    const POINT closeMark = CentreOf(program.Control(program.Panel(), IDC_PANEL_CLOSE));
    auto shown = [&] { return program.PanelVisible() && program.AllPagesVisible(); };
    auto hidden = [&] { return !program.PanelVisible() && !program.AnyPageVisible(); };

    std::mt19937 random(4099);
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        switch (random() % 5) {
        case 0:  // key and close at once: the click may come before the panel is up
            TypeHotkey();
            ClickNow(closeMark);
            break;
        case 1:  // close as soon as the panel shows, before its pages follow
            TypeHotkey();
            WaitFor([&] { return program.PanelVisible(); }, kPaceMs);
            ClickNow(closeMark);
            break;
        case 2:  // two keys, then two closes
            TypeHotkey();
            TypeHotkey();
            ClickNow(closeMark);
            ::Sleep(random() % 60);
            ClickNow(closeMark);
            break;
        case 3:  // a key after a random pause, close after another
            ::Sleep(random() % 120);
            TypeHotkey();
            ::Sleep(random() % 120);
            ClickNow(closeMark);
            break;
        default:  // the full cycle, as a user makes it
            TypeHotkey();
            WaitFor(shown, kPaceMs);
            ClickNow(closeMark);
            break;
        }
        if (cycle % kCheckEvery != 0)
            continue;
        // Input already sent may still wait in the program's queue (the hook, by contrast, runs
        // ahead of it): let it drain, so a late click cannot pass for the checkpoint's own.
        ::Sleep(500);
        ASSERT_TRUE(Answers(program.Panel()));
        // Wherever the races left it, the key shows everything and the close mark hides it all.
        TypeHotkey();
        ASSERT_TRUE(WaitFor(shown)) << "after cycle " << cycle;
        ::Sleep(150);  // another tick of the panel's timer changes nothing
        ASSERT_TRUE(shown()) << "after cycle " << cycle;
        ClickNow(closeMark);
        ASSERT_TRUE(WaitFor(hidden)) << "after cycle " << cycle;
        ::Sleep(150);
        ASSERT_TRUE(hidden()) << "after cycle " << cycle;
        ASSERT_TRUE(Answers(program.Panel()));
    }
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
