// The real mouse on the running program: a drag of the panel moves the pages with it (the system's
// move loop, fed by input sent with SendInput); see-through pixels pass a real pointer's input on;
// after a real drag or press on the panel its pages are still above it and take a real click;
// a launcher button lights up under the pointer and goes back when it leaves; a press lands where
// the test moved the pointer, whatever the X server's pointer said before.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramTestSupport.h"
#include "ProgramUnderTest.h"
#include "ScaledLayout.h"
#include "ScreenMeasures.h"
#include "LaunchRecorders.h"
#include "TestTablet.h"
#include "XPointer.h"
#include "resource.h"

namespace {

// Each page's offset from the panel's top-left corner, and its size.
std::vector<CRect> PagesRelativeToPanel(const ProgramUnderTest& program)
{
    const CRect panel = ProgramUnderTest::WindowRect(program.Panel());
    std::vector<CRect> pages;
    for (HWND page : program.Pages()) {
        CRect rect = ProgramUnderTest::WindowRect(page);
        rect.OffsetRect(-panel.left, -panel.top);
        pages.push_back(rect);
    }
    return pages;
}

TEST(PointerEndToEnd, DraggingThePanelByItsSurfaceMovesThePagesWithItAndTheyShowThereNextTime)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const CRect before = ProgramUnderTest::WindowRect(program.Panel());
    const std::vector<CRect> offsets = PagesRelativeToPanel(program);
    // The switch page reaches the panel's bottom-right corner; the others are 195 x 133.
    EXPECT_EQ(offsets[0], CRect(60, 70, 724, 424));
    EXPECT_EQ(offsets[1], CRect(266, 76, 266 + 195, 76 + 133));
    EXPECT_EQ(offsets[2], CRect(473, 76, 473 + 195, 76 + 133));
    EXPECT_EQ(offsets[3], CRect(58, 226, 58 + 195, 226 + 133));
    EXPECT_EQ(offsets[4], CRect(266, 226, 266 + 195, 226 + 133));

    // Grab the title line, away from the close mark and every page, and pull in small steps.
    const CPoint grab(before.left + 300, before.top + 30);
    const CSize pull(-170, 120);
    ProgramUnderTest::MoveMouseTo(grab);
    Linger(50);
    ProgramUnderTest::MouseButton(true);
    ASSERT_TRUE(WaitFor([&] { return program.InMoveLoop(); })) << "no move loop";
    for (int step = 1; step <= 10; ++step) {
        Linger(30);
        ProgramUnderTest::MoveMouseTo(CPoint(grab.x + pull.cx * step / 10, grab.y + pull.cy * step / 10));
    }
    const CRect expected(CPoint(before.left + pull.cx, before.top + pull.cy), before.Size());
    EXPECT_TRUE(WaitFor([&] { return ProgramUnderTest::WindowRect(program.Panel()) == expected; }))
        << "the panel is at " << ProgramUnderTest::WindowRect(program.Panel()).left << ","
        << ProgramUnderTest::WindowRect(program.Panel()).top;
    ProgramUnderTest::MouseButton(false);
    Linger(200);
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), expected);
    EXPECT_EQ(PagesRelativeToPanel(program), offsets);
    EXPECT_TRUE(program.AllVisible());

    // Hidden and shown again: everything comes back at the new place.
    const CRect close = program.ControlRect(program.Panel(), IDC_PANEL_CLOSE);
    ProgramUnderTest::ClickAt(CPoint(close.CenterX(), close.CenterY()));
    ASSERT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), expected);
    EXPECT_EQ(PagesRelativeToPanel(program), offsets);
}

// The pointer the tests move with SendInput stays where they put it: Wine moves only its own
// cursor for such input, and each crossing event X sends the program's windows carries the X
// server's pointer, wherever it was last. A press sent after the pages were hidden and shown
// under the X pointer must still land where the test moved, not where that pointer lay.
TEST(PointerEndToEnd, APressWhereTheTestMovedThePointerLandsThereAfterPagesAreHiddenAndShownAgain)
{
    ASSERT_TRUE(XPointerAvailable()) << "xdotool is missing (scripts/install-deps.sh installs it)";
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const HWND brightness = program.Control(program.BrightnessPage(), IDC_BRIGHTNESS_SLIDER);
    const HWND volume = program.Control(program.VolumePage(), IDC_VOLUME_SLIDER);
    ASSERT_TRUE(WaitFor([&] { return program.FocusedWindow() == brightness; }));

    // The X pointer lies on the brightness slider, where an earlier real tap would have left it.
    const CRect brightnessRect = ProgramUnderTest::WindowRect(brightness);
    ASSERT_TRUE(XMoveTo(CPoint(brightnessRect.CenterX(), brightnessRect.CenterY())));
    const CPoint thumb = ThumbCentre(ProgramUnderTest::WindowRect(volume), 50, 1, 99);
    ProgramUnderTest::MoveMouseTo(thumb);
    // Esc hides the brightness page and the key shows it again, under the X pointer's old place.
    SendTabletKey(std::to_wstring(VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(program.BrightnessPage()); }));
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible() && program.FocusedWindow() == brightness; }));

    ASSERT_TRUE(ProgramUnderTest::Uncover(program.VolumePage(), thumb));
    ProgramUnderTest::MouseButton(true);
    ProgramUnderTest::MouseButton(false);
    EXPECT_TRUE(WaitFor([&] { return program.FocusedWindow() == volume; })) << "the press went elsewhere";
    EXPECT_EQ(ProgramUnderTest::SliderPos(volume), 50);
    EXPECT_EQ(ProgramUnderTest::SliderPos(brightness), 3);
    EXPECT_TRUE(program.AllVisible());
}

// The program shown on a fresh tablet, with recorders at the launch targets, for a real pointer.
class XPointerEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(XPointerAvailable()) << "xdotool is missing (scripts/install-deps.sh installs it)";
        ASSERT_TRUE(recorders.Installed());
        ASSERT_TRUE(program.Started());
        program.PressHotkey();
        ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    }

    LaunchRecorders recorders;  // first: the program inherits the log's name
    TestTablet tablet;
    ProgramUnderTest program;
};

TEST_F(XPointerEndToEnd, ARealPointerPassesThroughSeeThroughPixelsToWhatLiesBelow)
{
    const CRect before = ProgramUnderTest::WindowRect(program.Panel());

    // The shadow fades out to nothing at the face's outer edge: a drag from its corner pixel is
    // no drag of the panel.
    ASSERT_TRUE(XDrag(CPoint(before.left + 1, before.top + 1), CPoint(before.left + 81, before.top + 81)));
    Linger(300);
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), before);
    EXPECT_TRUE(program.AllVisible());

    // The switch page's magenta spans the keyboard page; a click through it reaches the launcher.
    const CRect button = program.ControlRect(program.KeyboardPage(), IDC_KEYBOARD_LAUNCH);
    ASSERT_TRUE(XClick(CPoint(button.CenterX(), button.CenterY())));
    EXPECT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    EXPECT_EQ(recorders.WaitFor(1).size(), 1u);
}

TEST_F(XPointerEndToEnd, AfterARealDragOrPressOnThePanelItsPagesStayAboveItAndTakeClicks)
{
    const CRect before = ProgramUnderTest::WindowRect(program.Panel());
    const std::vector<CRect> offsets = PagesRelativeToPanel(program);

    // Drag by the title line, as a finger would: the press focuses the panel, which an X server
    // without a window manager answers by lifting it over everything.
    const CSize pull(90, 80);
    const ScreenCapture look = SettledPicture(before);
    ASSERT_TRUE(XDrag(CPoint(before.left + 300, before.top + 30), CPoint(before.left + 300 + pull.cx, before.top + 30 + pull.cy)));
    const CRect moved(CPoint(before.left + pull.cx, before.top + pull.cy), before.Size());
    ASSERT_TRUE(WaitFor([&] { return ProgramUnderTest::WindowRect(program.Panel()) == moved; }));
    EXPECT_EQ(PagesRelativeToPanel(program), offsets);
    // Moved whole: no part of the face is lost where the pages went by. The four tiles may show
    // the pointer's hover or lose the focus mark; the switch page is mostly see-through.
    EXPECT_EQ(Differing(SettledPicture(moved), look, {offsets.begin() + 1, offsets.end()}), 0);
    // The keyboard launcher, through the switch page's see-through part, takes the click.
    const CRect keyboard = program.ControlRect(program.KeyboardPage(), IDC_KEYBOARD_LAUNCH);
    ASSERT_TRUE(XClick(CPoint(keyboard.CenterX(), keyboard.CenterY())));
    EXPECT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    ASSERT_EQ(recorders.WaitFor(1).size(), 1u);
    ExpectLaunch(recorders.Read().back(), kKeyboardProgram);

    // Shown again, a tap between the tiles lands on one of the panel's click areas and focuses it,
    // without any drag; the Task Manager launcher still takes the next click.
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const CRect volume = ProgramUnderTest::WindowRect(program.VolumePage());
    const CRect taskMgrPage = ProgramUnderTest::WindowRect(program.TaskMgrPage());
    ASSERT_TRUE(XClick(CPoint(volume.CenterX(), (volume.bottom + taskMgrPage.top) / 2)));
    EXPECT_TRUE(WaitFor([&] { return ::GetAncestor(program.FocusedWindow(), GA_ROOT) == program.Panel(); }))
        << "the tap did not reach the panel";
    const CRect taskMgr = program.ControlRect(program.TaskMgrPage(), IDC_TASKMGR_LAUNCH);
    ASSERT_TRUE(XClick(CPoint(taskMgr.CenterX(), taskMgr.CenterY())));
    EXPECT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    ASSERT_EQ(recorders.WaitFor(2).size(), 2u);
    ExpectLaunch(recorders.Read().back(), kTaskMgrProgram);
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), moved);
}

// A finger on the pictures at the display's scale (ctest runs this on displays of 120, 144 and 192
// dpi too): each picture lies at its 96-dpi place times the scale, and there the program takes the
// tap, whatever the controls report of themselves.
TEST_F(XPointerEndToEnd, AtTheDisplaysScaleATapOnASwitchReachesTheTabletAndOneOnTheDrawnCloseMarkHidesAll)
{
    const UINT dpi = DisplayDpi();
    const CRect panel = ProgramUnderTest::WindowRect(program.Panel());
    ASSERT_EQ(panel.Size(), afx::ScaleToDpi(kPanelAt96, dpi));
    const auto drawnAt = [&](const ControlPlace& place) {
        const CPoint origin = place.page < 0 ? panel.TopLeft() : PageAt(place.page, panel, dpi).TopLeft();
        CRect rect = afx::ScaleToDpi(place.at96, dpi);
        rect.OffsetRect(origin);
        return CPoint(rect.CenterX(), rect.CenterY());
    };
    const auto placeOf = [](int page, int id) {
        return *std::find_if(std::begin(kControlsAt96), std::end(kControlsAt96),
                             [&](const ControlPlace& p) { return p.page == page && p.id == id; });
    };

    const std::string before = tablet.Field("switches");
    ASSERT_TRUE(XClick(drawnAt(placeOf(static_cast<int>(ScaledPage::Switches), IDC_SWITCH_CAMERA))));
    EXPECT_TRUE(WaitFor([&] { return tablet.Field("switches") != before; })) << "the tap did not reach the tablet";
    EXPECT_TRUE(program.AllVisible());
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), panel) << "the tap dragged the panel";

    ASSERT_TRUE(XClick(drawnAt(placeOf(-1, IDC_PANEL_CLOSE))));
    EXPECT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    EXPECT_EQ(ProgramUnderTest::WindowRect(program.Panel()), panel);
}

TEST(PointerEndToEnd, ALauncherButtonLightsUpUnderThePointerAndGoesBackWhenItLeaves)
{
    GdiplusSession gdiplus;
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    const CRect panel = ProgramUnderTest::WindowRect(program.Panel());
    ProgramUnderTest::MoveMouseTo(CPoint(panel.right + 20, panel.bottom + 20));
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const CRect button = program.ControlRect(program.KeyboardPage(), IDC_KEYBOARD_LAUNCH);
    ASSERT_TRUE(ProgramUnderTest::Uncover(program.KeyboardPage(), CPoint(button.left + 30, button.top + 20)));
    const ScreenCapture normal = SettledPicture(button);
    const double normalBrightness = MeanBrightness(normal);

    // Two moves: the first one enters, the second is the one a hover is tracked from.
    ProgramUnderTest::MoveMouseTo(CPoint(button.left + 30, button.top + 20));
    Linger(50);
    ProgramUnderTest::MoveMouseTo(CPoint(button.left + 31, button.top + 21));
    double lit = 0;
    EXPECT_TRUE(WaitFor([&] {
        lit = MeanBrightness(ScreenCapture(button));
        return lit > normalBrightness + 8;
    })) << "normal " << normalBrightness << ", under the pointer " << lit;

    ProgramUnderTest::MoveMouseTo(CPoint(panel.right + 20, panel.bottom + 20));
    EXPECT_TRUE(WaitFor([&] { return Differing(ScreenCapture(button), normal) == 0; }));
    EXPECT_TRUE(program.AllVisible());
}

} // namespace
