// The rules for showing and hiding, on the running program: only the tablet key's press shows,
// and it never hides; the close mark and either launcher hide everything until the next press
// (a launcher after starting its program); Esc hides just the focused page until the next show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LaunchRecorders.h"
#include "ProgramUnderTest.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

std::vector<CRect> Places(const ProgramUnderTest& program)
{
    std::vector<CRect> places{ProgramUnderTest::WindowRect(program.Panel())};
    for (HWND page : program.Pages())
        places.push_back(ProgramUnderTest::WindowRect(page));
    return places;
}

void ClickCentre(const CRect& rect) { ProgramUnderTest::ClickAt(CPoint(rect.CenterX(), rect.CenterY())); }

// The pages other than `page` are visible, and the panel.
bool AllBut(const ProgramUnderTest& program, HWND page)
{
    if (!program.PanelVisible())
        return false;
    for (HWND p : program.Pages())
        if ((::IsWindowVisible(p) != FALSE) != (p != page))
            return false;
    return true;
}

TEST(VisibilityRules, OnlyTheKeysPressShowsAndAPressWhileShownNeverHides)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());

    // Hidden: the key's release alone, the key's code with another scan code, and other keys
    // change nothing.
    SendTabletKey(L"hotkey up");
    SendTabletKey(L"255");
    SendTabletKey(L"up");
    SendTabletKey(L"0x10");
    Linger(400);
    EXPECT_TRUE(program.NoneVisible());

    // Hidden -> Requested -> Shown.
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const std::vector<CRect> places = Places(program);

    // Shown: more presses, whole or just their key-down, leave everything where it is.
    program.PressHotkey();
    SendTabletKey(L"hotkey down");
    SendTabletKey(L"hotkey up");
    program.PressHotkey();
    Linger(400);
    EXPECT_TRUE(program.AllVisible());
    EXPECT_EQ(Places(program), places);

    // Close from Shown; a key-down alone is a press.
    ClickCentre(program.ControlRect(program.Panel(), IDC_PANEL_CLOSE));
    ASSERT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    SendTabletKey(L"hotkey down");
    EXPECT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    SendTabletKey(L"hotkey up");
    EXPECT_EQ(Places(program), places);
}

TEST(VisibilityRules, EscOnTheFocusedBrightnessPageHidesOnlyItUntilTheNextShow)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    const HWND brightness = program.BrightnessPage();
    program.PressHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    ASSERT_TRUE(WaitFor(
        [&] { return program.FocusedWindow() == program.Control(brightness, IDC_BRIGHTNESS_SLIDER); }));

    SendTabletKey(std::to_wstring(VK_ESCAPE));
    EXPECT_TRUE(WaitFor([&] { return AllBut(program, brightness); }));
    EXPECT_TRUE(program.Running());

    // The flags did not change: the panel counts as shown, so the key brings nothing back.
    program.PressHotkey();
    Linger(400);
    EXPECT_TRUE(AllBut(program, brightness));

    // A close and a press show it again, with everything else.
    ClickCentre(program.ControlRect(program.Panel(), IDC_PANEL_CLOSE));
    ASSERT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
    program.PressHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    EXPECT_EQ(tablet.Number("brightness_sets"), 0);
}

TEST(VisibilityRules, ALauncherClickStartsItsProgramOnceAndHidesEverythingUntilTheNextPress)
{
    LaunchRecorders recorders;
    ASSERT_TRUE(recorders.Installed());
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());

    const struct {
        HWND page;
        int button;
        const wchar_t* program;
    } launchers[] = {{program.KeyboardPage(), IDC_KEYBOARD_LAUNCH, kKeyboardProgram},
                     {program.TaskMgrPage(), IDC_TASKMGR_LAUNCH, kTaskMgrProgram},
                     {program.KeyboardPage(), IDC_KEYBOARD_LAUNCH, kKeyboardProgram}};
    size_t started = 0;
    for (const auto& launcher : launchers) {
        program.PressHotkey();
        ASSERT_TRUE(WaitFor([&] { return program.AllVisible(); })) << "all back after launch " << started;
        const CRect button = program.ControlRect(launcher.page, launcher.button);
        ASSERT_TRUE(ProgramUnderTest::Uncover(launcher.page, CPoint(button.CenterX(), button.CenterY())));
        ClickCentre(button);
        EXPECT_TRUE(WaitFor([&] { return program.NoneVisible(); }));
        // Started once per click, whether or not it runs already.
        const std::vector<Launch> launches = recorders.WaitFor(++started);
        ASSERT_EQ(launches.size(), started);
        ExpectLaunch(launches.back(), launcher.program);
    }
    EXPECT_TRUE(program.Running());
}

} // namespace
