// When the keyboard hook is installed afresh: after resume and session events, on evidence that
// keyboard input goes on without the hook, and never more often than the rate limit allows.
#include <gtest/gtest.h>

#include "HookWatchdog.h"

namespace {

constexpr DWORD kLimit = HookWatchdog::kMinIntervalMs;

TEST(HookWatchdog, SessionEventsReinstallAtMostOncePerInterval)
{
    HookWatchdog watchdog;
    EXPECT_TRUE(watchdog.OnSessionEvent(1000));
    EXPECT_FALSE(watchdog.OnSessionEvent(1000 + 1));  // resume and unlock come together: one is enough
    EXPECT_FALSE(watchdog.OnSessionEvent(1000 + kLimit - 1));
    EXPECT_TRUE(watchdog.OnSessionEvent(1000 + kLimit));
    // The tick count wraps after 49.7 days; the interval still counts across it.
    HookWatchdog wrapping;
    EXPECT_TRUE(wrapping.OnSessionEvent(0xFFFFFF00u));
    EXPECT_FALSE(wrapping.OnSessionEvent(0x00000010u));
    EXPECT_TRUE(wrapping.OnSessionEvent(0xFFFFFF00u + kLimit));
    // The first ever is never held back, whatever the clock says.
    HookWatchdog early;
    EXPECT_TRUE(early.OnSessionEvent(0));
}

TEST(HookWatchdog, KeyboardInputThatTheHookStillSeesIsNoEvidence)
{
    HookWatchdog watchdog;
    for (unsigned calls = 1; calls <= 100; ++calls)
        EXPECT_FALSE(watchdog.OnKeyboardInput(calls, calls * 10));
    // One event that passed the hook by (a call that took too long once) is not yet evidence.
    EXPECT_FALSE(watchdog.OnKeyboardInput(100, 2000));
    EXPECT_FALSE(watchdog.OnKeyboardInput(101, 2010));
    EXPECT_FALSE(watchdog.OnKeyboardInput(101, 2020));
    EXPECT_FALSE(watchdog.OnKeyboardInput(102, 2030));
}

TEST(HookWatchdog, AKeyPressPassingTheHookByReinstallsItRateLimited)
{
    HookWatchdog watchdog;
    EXPECT_FALSE(watchdog.OnKeyboardInput(7, 100));  // the hook's count so far
    EXPECT_FALSE(watchdog.OnKeyboardInput(7, 110));  // key down, hook silent
    EXPECT_TRUE(watchdog.OnKeyboardInput(7, 120));   // key up, hook silent: install afresh
    // The new hook is silent too (say the foreground window is out of its reach): more typing asks
    // again only once the interval has passed.
    EXPECT_FALSE(watchdog.OnKeyboardInput(7, 130));
    EXPECT_FALSE(watchdog.OnKeyboardInput(7, 140));
    EXPECT_FALSE(watchdog.OnKeyboardInput(7, 120 + kLimit - 1));
    EXPECT_TRUE(watchdog.OnKeyboardInput(7, 120 + kLimit));
    // A session event right after counts against the same limit.
    EXPECT_FALSE(watchdog.OnSessionEvent(120 + kLimit + 5));
    // The hook is called again: the count of missed events starts over.
    EXPECT_FALSE(watchdog.OnKeyboardInput(9, 120 + 3 * kLimit));
    EXPECT_FALSE(watchdog.OnKeyboardInput(9, 120 + 3 * kLimit + 10));
    EXPECT_TRUE(watchdog.OnKeyboardInput(9, 120 + 3 * kLimit + 20));
}

} // namespace
