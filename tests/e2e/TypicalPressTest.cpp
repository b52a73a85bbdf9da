// The typical press of the tablet key, step by step, seen from outside: the key shows the panel at
// once and the pages on the next tick, with the focus on the brightness slider; a real drag of
// that slider sets the level at every step; the close mark hides it all.
#include <gtest/gtest.h>

#include <vector>

#include "ProgramTestSupport.h"
#include "ProgramUnderTest.h"
#include "ScreenMeasures.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

TEST(TypicalPress, KeyPanelThenPagesFocusedOnBrightnessDragSetsEveryStepCloseMarkHidesAll)
{
    GdiplusSession gdiplus;
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(program.Pages().size(), 5u);
    const HWND panel = program.Panel();
    const CRect panelRect = ProgramUnderTest::WindowRect(panel);
    const ScreenCapture desktop(panelRect);

    // The key: the hook, on a thread of its own, asks the panel to show, and the panel shows
    // itself and its pages as soon as its own thread takes the request.
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));

    // A 724 x 424 panel without frame; the pages are pop-ups it owns, not its children. (Whether it
    // is topmost is not asked here: Wine 8 gives the topmost flag of an owner of pop-ups to its
    // last-made pop-up instead.)
    EXPECT_EQ(ProgramUnderTest::WindowRect(panel).Size(), CSize(724, 424));
    EXPECT_FALSE(::GetWindowLongPtrW(panel, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    for (HWND page : program.Pages()) {
        EXPECT_EQ(::GetWindow(page, GW_OWNER), panel);
        EXPECT_FALSE(::GetWindowLongPtrW(page, GWL_STYLE) & (WS_CHILD | WS_CAPTION | WS_THICKFRAME));
    }

    // The brightness page keeps the focus and hands it to its slider.
    const HWND brightnessSlider = program.Control(program.BrightnessPage(), IDC_BRIGHTNESS_SLIDER);
    EXPECT_TRUE(WaitFor([&] { return program.FocusedWindow() == brightnessSlider; }))
        << "focus on " << program.FocusedWindow();

    // On screen: the panel's face where the desktop was, once the compositor has drawn it (the
    // pages alone cover about a third of the panel).
    EXPECT_TRUE(WaitFor([&] {
        return Differing(ScreenCapture(panelRect), desktop) > panelRect.Width() * panelRect.Height() * 2 / 3;
    }));

    // A real drag of the brightness thumb from 3 to 6: every position it passes is set at once.
    ASSERT_EQ(ProgramUnderTest::SliderPos(brightnessSlider), 3);
    const CRect slider = ProgramUnderTest::WindowRect(brightnessSlider);
    ASSERT_TRUE(ProgramUnderTest::Uncover(program.BrightnessPage(), ThumbCentre(slider, 3, 0, 7)));
    ProgramUnderTest::MoveMouseTo(ThumbCentre(slider, 3, 0, 7));
    Linger(50);
    ProgramUnderTest::MouseButton(true);
    ASSERT_TRUE(WaitFor([&] { return program.CaptureWindow() == brightnessSlider; })) << "the thumb was not taken";
    long long sets = tablet.Number("brightness_sets");
    for (int level = 4; level <= 6; ++level) {
        ProgramUnderTest::MoveMouseTo(ThumbCentre(slider, level, 0, 7));
        EXPECT_TRUE(WaitFor([&] {
            return ProgramUnderTest::SliderPos(brightnessSlider) == level && tablet.Number("brightness") == level;
        })) << "level " << level;
        const long long now = tablet.Number("brightness_sets");
        EXPECT_GT(now, sets) << "level " << level;
        sets = now;
    }
    ProgramUnderTest::MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return tablet.Number("brightness_sets") > sets; })) << "the end of the drag sets again";
    EXPECT_EQ(tablet.Number("brightness"), 6);
    EXPECT_EQ(ProgramUnderTest::SliderPos(brightnessSlider), 6);

    // The close mark hides everything; the screen shows what lay behind.
    const CRect close = program.ControlRect(panel, IDC_PANEL_CLOSE);
    ProgramUnderTest::ClickAt(CPoint(close.CenterX(), close.CenterY()));
    ASSERT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    EXPECT_TRUE(WaitFor([&] { return Differing(ScreenCapture(panelRect), desktop) < 50; }));

    // It waits for the next press; only the close command ends it, with exit code 0. The boot
    // task was registered once, at start.
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(tablet.Number("task_calls"), 1);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_FALSE(program.Running());
}

} // namespace
