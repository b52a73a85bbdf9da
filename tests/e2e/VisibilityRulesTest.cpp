// The rules for showing and hiding, on the running program: only the tablet key's press shows,
// and it never hides; the close mark and either launcher hide everything until the next press
// (a launcher after starting its program); Esc hides just the focused page, or on the panel
// everything; the key brings back a page hidden on its own; Enter only clicks the focused button;
// nothing but the close command (Alt+F4, the system menu's Close) ends the program.
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

void PressKey(WORD key) { SendTabletKey(std::to_wstring(key)); }

// The program shown by the key, with the focus where a show leaves it: the brightness slider.
class ShownProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_program.Started());
        ShowByKey();
    }
    void ShowByKey()
    {
        m_program.PressHotkey();
        ASSERT_TRUE(WaitFor([&] { return m_program.AllVisible(); }));
        ASSERT_TRUE(WaitFor([&] { return m_program.FocusedWindow() == BrightnessSlider(); }));
    }
    // Everything hides and the program runs on: the key shows it all again.
    void ExpectAllHiddenAndRunning()
    {
        EXPECT_TRUE(WaitFor([&] { return m_program.NoneVisible(); }));
        Linger(300);
        ASSERT_TRUE(m_program.Running());
        ShowByKey();
    }
    HWND BrightnessSlider() const { return m_program.Control(m_program.BrightnessPage(), IDC_BRIGHTNESS_SLIDER); }
    HWND CloseMark() const { return m_program.Control(m_program.Panel(), IDC_PANEL_CLOSE); }
    // A press and release on the panel's title line, away from its buttons and pages: it takes the
    // panel into the system's move loop and out again, and leaves the panel active. The release
    // waits for the loop, so a press slow to arrive on a loaded machine is not overtaken by it; a
    // press that never arrives (Wine loses one now and then under load) is tapped again.
    void TapTheFace()
    {
        const CRect panel = ProgramUnderTest::WindowRect(m_program.Panel());
        bool moving = false;
        for (int tap = 0; tap < 3 && !moving; ++tap) {
            ProgramUnderTest::MoveMouseTo(CPoint(panel.left + 300, panel.top + 30));
            Linger(50);
            ProgramUnderTest::MouseButton(true);
            moving = WaitFor([&] { return m_program.InMoveLoop(); }, 3000);
            ProgramUnderTest::MouseButton(false);
        }
        ASSERT_TRUE(moving) << "no press on the face started the move loop";
        ASSERT_TRUE(WaitFor([&] {
            const HWND focus = m_program.FocusedWindow();
            return !m_program.InMoveLoop() && (focus == m_program.Panel() || ::GetParent(focus) == m_program.Panel());
        })) << "the tap left the focus outside the panel";
    }

    TestTablet m_tablet;
    ProgramUnderTest m_program;
};

using EscAndEnter = ShownProgram;

TEST_F(EscAndEnter, EscHidesTheFocusedPageThenEverythingAndTheKeyBringsBackAPageHiddenAlone)
{
    const HWND brightness = m_program.BrightnessPage();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return AllBut(m_program, brightness); }));

    // The key while shown brings the page back, with the focus as a fresh show leaves it.
    m_program.PressHotkey();
    EXPECT_TRUE(WaitFor([&] { return m_program.AllVisible(); }));
    EXPECT_TRUE(WaitFor([&] { return m_program.FocusedWindow() == BrightnessSlider(); }));

    // Esc twice: the page, then (the focus now on the panel's close mark) everything. The program
    // runs on and the key shows it all again.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return AllBut(m_program, brightness); }));
    EXPECT_TRUE(WaitFor([&] { return m_program.FocusedWindow() == CloseMark(); }));
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(ExpectAllHiddenAndRunning());
    EXPECT_EQ(m_tablet.Number("brightness_sets"), 0);
}

TEST_F(EscAndEnter, EnterOnlyClicksTheFocusedButtonAndAStrayOkDoesNothing)
{
    // On the slider there is no button to click: nothing hides, twice.
    PressKey(VK_RETURN);
    PressKey(VK_RETURN);
    Linger(400);
    EXPECT_TRUE(m_program.AllVisible());
    // Nor does an IDOK from anywhere else.
    ::PostMessageW(m_program.Panel(), WM_COMMAND, IDOK, 0);
    ::PostMessageW(m_program.BrightnessPage(), WM_COMMAND, IDOK, 0);
    Linger(400);
    EXPECT_TRUE(m_program.AllVisible());

    // With the focus on the panel's close mark, Enter is its click: everything hides, and the
    // program runs on.
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return m_program.FocusedWindow() == CloseMark(); }));
    PressKey(VK_RETURN);
    ASSERT_NO_FATAL_FAILURE(ExpectAllHiddenAndRunning());
}

TEST_F(EscAndEnter, AfterATapOnTheFaceEscHidesEverythingAndAltF4EndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(TapTheFace());
    PressKey(VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(ExpectAllHiddenAndRunning());
    ASSERT_NO_FATAL_FAILURE(TapTheFace());
    SendTabletKey(std::to_wstring(VK_MENU) + L" down");
    PressKey(VK_F4);
    SendTabletKey(std::to_wstring(VK_MENU) + L" up");
    EXPECT_TRUE(WaitFor([&] { return !m_program.Running(); })) << "Alt+F4 on the active panel did not end it";
    EXPECT_EQ(m_program.Close(), 0u);  // its exit code, now that it has ended
}

TEST_F(EscAndEnter, TheSystemMenusCloseEndsTheProgramAlsoWhileItIsShown)
{
    // The close command is what the system menu's Close and the setup send.
    EXPECT_EQ(m_program.Close(), 0u);
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
