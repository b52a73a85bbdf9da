// What the running program does to the tablet, seen through the simulated tablet: a switch click
// turns its device to the opposite of its picture in the byte the EC holds and the pictures on
// screen show that byte, also one changed behind the program's back; an EC that answers tens of
// milliseconds late is heard; switches the program cannot reach (an EC that never answers, no
// port access) are never written and look and say so, and after an unanswered tap the next one
// tries again; changes made elsewhere show on the sliders without being written back, while shown
// and at the next show, and a hidden program reads nothing; a volume that cannot be read leaves
// an unsure slider; keyboard steps on the volume slider hold; Up and Down leave the sliders alone
// and hold the volume slider until another key.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ProgramTestSupport.h"
#include "ProgramUnderTest.h"
#include "ScreenMeasures.h"
#include "TestTablet.h"
#include "XPointer.h"
#include "resource.h"

namespace {

// The program started on a fresh tablet, then shown.
class HardwareEffects : public ::testing::Test {
protected:
    void Start()
    {
        m_program = std::make_unique<ProgramUnderTest>();
        ASSERT_TRUE(m_program->Started());
    }
    void Show()
    {
        m_program->PressHotkey();
        ASSERT_TRUE(WaitFor([&] { return m_program->AllVisible(); }));
    }
    HWND Control(HWND page, int id) const { return m_program->Control(page, id); }
    int Brightness() const
    {
        return ProgramUnderTest::SliderPos(Control(m_program->BrightnessPage(), IDC_BRIGHTNESS_SLIDER));
    }
    int Volume() const { return ProgramUnderTest::SliderPos(Control(m_program->VolumePage(), IDC_VOLUME_SLIDER)); }
    CRect Switch(int id) const { return m_program->ControlRect(m_program->SwitchPage(), id); }
    void Click(const CRect& rect) const { ProgramUnderTest::ClickAt(CPoint(rect.CenterX(), rect.CenterY())); }
    // A tap of the user's own pointer, through the X server.
    void Tap(const CRect& rect) const
    {
        ASSERT_TRUE(XPointerAvailable()) << "xdotool is missing (scripts/install-deps.sh installs it)";
        ASSERT_TRUE(XClick(CPoint(rect.CenterX(), rect.CenterY())));
    }
    // A tap on switch `id` that must leave the EC holding `switches` and the screen showing `green`.
    void TapTo(int id, const std::string& switches, std::vector<bool> green)
    {
        ASSERT_NO_FATAL_FAILURE(Tap(Switch(id)));
        EXPECT_TRUE(WaitFor([&] { return m_tablet.Field("switches") == switches; })) << m_tablet.Field("switches");
        EXPECT_TRUE(ShowsGreen(std::move(green)));
    }
    void Hide() const
    {
        Click(m_program->ControlRect(m_program->Panel(), IDC_PANEL_CLOSE));
        ASSERT_TRUE(WaitFor([&] { return m_program->NoneVisible(); }));
    }
    // Which of the four switches (in the order of their bits) glow green on screen.
    std::vector<bool> GreenSwitches() const
    {
        std::vector<bool> green;
        for (int id : {IDC_SWITCH_WIRELESS, IDC_SWITCH_3G, IDC_SWITCH_CAMERA, IDC_SWITCH_BLUETOOTH})
            green.push_back(GreenPixels(ScreenCapture(Switch(id))) > 100);
        return green;
    }
    bool ShowsGreen(std::vector<bool> expected) const
    {
        return WaitFor([&] { return GreenSwitches() == expected; });
    }

    GdiplusSession m_gdiplus;
    TestTablet m_tablet;
    std::unique_ptr<ProgramUnderTest> m_program;
};

TEST_F(HardwareEffects, ASwitchClickFlipsItsBitInTheEcKeepsTheUpperBitsAndSwapsItsPictureOnScreen)
{
    m_tablet.SetSwitches(0x59);
    ASSERT_NO_FATAL_FAILURE(Start());
    // Start-up reads the byte and writes it back once per switch, each time after a fresh read.
    EXPECT_EQ(m_tablet.Number("ec_reads"), 5);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);
    ASSERT_NO_FATAL_FAILURE(Show());
    const CRect camera = Switch(IDC_SWITCH_CAMERA);      // bit 2, off
    const CRect wireless = Switch(IDC_SWITCH_WIRELESS);  // bit 0, on
    EXPECT_TRUE(WaitFor([&] { return GreenPixels(ScreenCapture(wireless)) > 100; }));
    EXPECT_LT(GreenPixels(ScreenCapture(camera)), 20);

    const struct {
        CRect button;
        const char* switches;
        bool greenAfter;
    } clicks[] = {{camera, "0x5D", true}, {wireless, "0x5C", false}, {camera, "0x58", false}};
    long long writes = 4;
    for (const auto& click : clicks) {
        Click(click.button);
        EXPECT_TRUE(WaitFor([&] { return m_tablet.Field("switches") == click.switches; }))
            << "expected " << click.switches << ", the EC holds " << m_tablet.Field("switches");
        EXPECT_EQ(m_tablet.Number("ec_writes"), ++writes);
        EXPECT_TRUE(WaitFor([&] {
            const int green = GreenPixels(ScreenCapture(click.button));
            return click.greenAfter ? green > 100 : green < 20;
        })) << "picture after " << click.switches;
    }
    EXPECT_TRUE(m_program->AllVisible());
}

TEST_F(HardwareEffects, ADeviceChangedBehindTheProgramsBackStaysChangedAfterAClickAndShowsAtTheNextShow)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({false, false, false, false}));

    // Wi-Fi turned on elsewhere (the tablet's own key, another program), then the camera clicked
    // here: both are on, and the pictures show both.
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set switches 0x01"), 0u);
    Click(Switch(IDC_SWITCH_CAMERA));
    EXPECT_TRUE(WaitFor([&] { return m_tablet.Field("switches") == "0x05"; })) << m_tablet.Field("switches");
    EXPECT_TRUE(ShowsGreen({true, false, true, false}));

    // Changed again while the panel was hidden: the next show shows it, without writing anything.
    ASSERT_NO_FATAL_FAILURE(Hide());
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set switches 0x0A"), 0u);
    const long long writes = m_tablet.Number("ec_writes");
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({false, true, false, true}));
    EXPECT_EQ(m_tablet.Number("ec_writes"), writes);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0A");
}

TEST_F(HardwareEffects, ATapOnAGreyDeviceTurnedOnMeanwhileByTheTabletsKeyLeavesItOnAndShowsItOn)
{
    m_tablet.SetSwitches(0x09);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({true, false, false, true}));

    // The tablet's own key turns the camera on; the picture still shows it grey. The user taps
    // it meaning "on".
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set switches 0x0D"), 0u);
    const long long writes = m_tablet.Number("ec_writes");
    ASSERT_NO_FATAL_FAILURE(Tap(Switch(IDC_SWITCH_CAMERA)));
    EXPECT_TRUE(WaitFor([&] { return m_tablet.Number("ec_writes") == writes + 1; }));
    EXPECT_EQ(m_tablet.Field("switches"), "0x0D");
    EXPECT_TRUE(ShowsGreen({true, false, true, true}));

    // Now shown on, the next tap turns it off.
    ASSERT_NO_FATAL_FAILURE(TapTo(IDC_SWITCH_CAMERA, "0x09", {true, false, false, true}));
}

TEST_F(HardwareEffects, AnEcAnsweringFortyMillisecondsAfterEachCommandIsHeardAtStartAndOnATap)
{
    m_tablet.SetSwitches(0x09);
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set ack-delay 40"), 0u);
    EXPECT_EQ(m_tablet.Field("ec_ack_delay_ms"), "40");
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(m_tablet.Number("ec_reads"), 5);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({true, false, false, true}));
    ASSERT_NO_FATAL_FAILURE(TapTo(IDC_SWITCH_3G, "0x0B", {true, true, false, true}));
}

TEST_F(HardwareEffects, AfterATapTheEcLeftUnansweredTheNextTapTriesAgainAndWrites)
{
    m_tablet.SetSwitches(0x05);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({true, false, true, false}));
    const CRect bluetooth = Switch(IDC_SWITCH_BLUETOOTH);
    const ScreenCapture off = SettledPicture(bluetooth);

    ASSERT_EQ(RunTool(L"tabsim.exe", L"set ack never"), 0u);
    ASSERT_NO_FATAL_FAILURE(Tap(Switch(IDC_SWITCH_CAMERA)));
    // Faded: neither green nor the off picture.
    EXPECT_TRUE(ShowsGreen({false, false, false, false}));
    EXPECT_TRUE(WaitFor([&] { return Differing(ScreenCapture(bluetooth), off) > bluetooth.Width() * bluetooth.Height() / 10; }));
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);

    // The EC answers again: the very next tap, on the camera shown on before it faded, turns it off.
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set ack now"), 0u);
    ASSERT_NO_FATAL_FAILURE(TapTo(IDC_SWITCH_CAMERA, "0x01", {true, false, false, false}));
    EXPECT_EQ(m_tablet.Number("ec_writes"), 5);
    EXPECT_TRUE(WaitFor([&] { return Differing(ScreenCapture(bluetooth), off) == 0; }));
}

// Switches the program cannot reach at start: an EC that never answers, or port access refused.
struct Unreachable {
    const char* name;
    const wchar_t* before;  // the tabsim setting made before the program starts
    const wchar_t* after;   // the one that makes the switches reachable again
    const wchar_t* reason;  // a word the tooltip must hold
    bool clickAsks;         // whether a click asks the EC again (not without port access)
};

class UnreachableSwitches : public HardwareEffects, public ::testing::WithParamInterface<Unreachable> {};

TEST_P(UnreachableSwitches, AreNeverWrittenLookNeitherOnNorOffSaySoAndComeBackAtALaterShow)
{
    const Unreachable& c = GetParam();
    ASSERT_EQ(RunTool(L"tabsim.exe", L"set switches 0x05"), 0u);
    ASSERT_EQ(RunTool(L"tabsim.exe", std::wstring(L"set ") + c.before), 0u);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    ASSERT_NO_FATAL_FAILURE(Show());

    // Neither the on look (green) nor, as seen below, the off look.
    const CRect camera = Switch(IDC_SWITCH_CAMERA);
    const CRect bluetooth = Switch(IDC_SWITCH_BLUETOOTH);
    EXPECT_TRUE(ShowsGreen({false, false, false, false}));
    const ScreenCapture unreachable = SettledPicture(bluetooth);

    // The pointer resting on a switch brings up the reason.
    ProgramUnderTest::MoveMouseTo(CPoint(camera.CenterX(), camera.CenterY()));
    std::wstring tip;
    EXPECT_TRUE(WaitFor([&] { return !(tip = ShownTooltipText(m_program->ProcessId())).empty(); }));
    EXPECT_NE(tip.find(L"cannot be reached"), std::wstring::npos);
    EXPECT_NE(tip.find(c.reason), std::wstring::npos);

    // A click writes nothing: it asks the EC again (which has shown no state to change yet), or,
    // without port access, nothing at all until the next show.
    const long long opens = m_tablet.Number("winio_opens");
    Click(camera);
    Linger(300);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), opens + (c.clickAsks ? 1 : 0));
    EXPECT_EQ(m_tablet.Field("switches"), "0x05");
    EXPECT_TRUE(ShowsGreen({false, false, false, false}));

    // Reachable again: the next show shows the switches as the EC holds them, and they work.
    ASSERT_EQ(RunTool(L"tabsim.exe", std::wstring(L"set ") + c.after), 0u);
    ASSERT_NO_FATAL_FAILURE(Hide());
    ProgramUnderTest::MoveMouseTo(CPoint(0, 0));
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(ShowsGreen({true, false, true, false}));
    const ScreenCapture off = SettledPicture(bluetooth);
    EXPECT_GT(Differing(off, unreachable), bluetooth.Width() * bluetooth.Height() / 10)
        << "the unreachable look must differ from the off look";
    Click(Switch(IDC_SWITCH_BLUETOOTH));
    EXPECT_TRUE(WaitFor([&] { return m_tablet.Field("switches") == "0x0D"; })) << m_tablet.Field("switches");
    EXPECT_TRUE(ShowsGreen({true, false, true, true}));
}

INSTANTIATE_TEST_SUITE_P(Switches, UnreachableSwitches,
                         ::testing::Values(Unreachable{"EcNeverAnswers", L"ack never", L"ack now", L"does not answer", true},
                                           Unreachable{"NoPortAccess", L"winio fail", L"winio ok", L"I/O ports", false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(HardwareEffects, ChangesMadeElsewhereShowWithinAFewTicksWhileShownAndAtTheNextShowButNothingIsReadWhileHidden)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_EQ(Brightness(), 3);
    EXPECT_EQ(Volume(), 50);
    for (const auto& change : {std::pair{5u, 0.8f}, std::pair{0u, 0.0f}, std::pair{7u, 1.0f}}) {
        m_tablet.SetBrightness(change.first);
        m_tablet.SetVolume(change.second);
        const int volume = change.second == 0.0f ? 1 : change.second == 1.0f ? 99 : 80;
        EXPECT_TRUE(WaitFor([&] { return Brightness() == static_cast<int>(change.first) && Volume() == volume; }))
            << "brightness " << Brightness() << ", volume " << Volume();
    }
    // Hidden, nothing is read: the tablet's counters stand still for seconds, whatever changes.
    ProgramUnderTest::ClickAt(CPoint(m_program->ControlRect(m_program->Panel(), IDC_PANEL_CLOSE).CenterX(),
                                     m_program->ControlRect(m_program->Panel(), IDC_PANEL_CLOSE).CenterY()));
    ASSERT_TRUE(WaitFor([&] { return m_program->NoneVisible(); }));
    Linger(200);  // a poll already under way
    const std::string counters[] = {"brightness_queries", "volume_reads", "ec_reads", "winio_opens"};
    std::vector<long long> before;
    for (const std::string& counter : counters)
        before.push_back(m_tablet.Number(counter));
    m_tablet.SetBrightness(2);
    m_tablet.SetVolume(0.25f);
    Linger(2500);
    for (size_t i = 0; i < std::size(counters); ++i)
        EXPECT_EQ(m_tablet.Number(counters[i]), before[i]) << counters[i];
    EXPECT_EQ(Brightness(), 7);
    // The next show shows what the tablet holds.
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(WaitFor([&] { return Brightness() == 2 && Volume() == 25; }));
    EXPECT_EQ(m_tablet.Number("brightness_sets"), 0);
    EXPECT_EQ(m_tablet.Number("volume_writes"), 0);
}

TEST_F(HardwareEffects, AVolumeThatCannotBeReadLeavesAnUnsureSliderUntilTheFirstGoodRead)
{
    // A tablet file of another version: every call of the libraries fails, the volume's too;
    // brightness answers 7, as where it cannot be read.
    ASSERT_TRUE(m_tablet.Use([](auto& state) { ++state.header.version; }));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    const CRect slider = ProgramUnderTest::WindowRect(Control(m_program->VolumePage(), IDC_VOLUME_SLIDER));
    auto thumbAt = [&](int pos) {
        const CPoint centre = ThumbCentre(slider, pos, 1, 99);
        return CRect(centre.x - 5, centre.y - 10, centre.x + 6, centre.y + 11);
    };
    Linger(400);  // several polls
    EXPECT_EQ(Volume(), 1) << "where the trackbar starts, not a volume";
    EXPECT_EQ(Brightness(), 7);
    const ScreenCapture unsure = SettledPicture(thumbAt(1));

    ASSERT_EQ(RunTool(L"tabsim.exe", L"reset"), 0u);
    EXPECT_TRUE(WaitFor([&] { return Volume() == 50; })) << "volume " << Volume();
    const ScreenCapture known = SettledPicture(thumbAt(50));
    EXPECT_GT(Differing(unsure, known), 11 * 21 / 2) << "the unsure thumb must look different";
    EXPECT_EQ(m_tablet.Number("volume_writes"), 0);
}

TEST_F(HardwareEffects, KeyboardStepsOnTheVolumeSliderHoldInBothDirections)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    // The user takes the volume slider by its thumb, which gives it the keyboard focus.
    const HWND slider = Control(m_program->VolumePage(), IDC_VOLUME_SLIDER);
    const CPoint thumb = ThumbCentre(ProgramUnderTest::WindowRect(slider), 50, 1, 99);
    ASSERT_TRUE(ProgramUnderTest::Uncover(m_program->VolumePage(), thumb));
    ProgramUnderTest::ClickAt(thumb);
    ASSERT_TRUE(WaitFor([&] { return m_program->FocusedWindow() == slider; }));
    const int start = Volume();
    ASSERT_GE(start, 40);
    ASSERT_LE(start, 60);

    // Each step is written and stays where it went through the polls that follow.
    int expected = start;
    for (const auto& [key, step] : {std::pair{VK_RIGHT, 1}, std::pair{VK_LEFT, -1}}) {
        for (int i = 0; i < 6; ++i) {
            const long long reads = m_tablet.Number("volume_reads");
            SendTabletKey(std::to_wstring(key));
            expected += step;
            EXPECT_TRUE(WaitFor([&] { return Volume() == expected; })) << "volume " << Volume();
            EXPECT_TRUE(WaitFor([&] { return m_tablet.Number("volume_reads") >= reads + 3; }));
            EXPECT_EQ(Volume(), expected);
            EXPECT_EQ(m_tablet.Field("volume"), (std::to_string(expected / 100) + "." +
                                                 (expected % 100 < 10 ? "0" : "") + std::to_string(expected % 100) +
                                                 "0000"));
        }
    }
    EXPECT_EQ(Volume(), start);
}

TEST_F(HardwareEffects, UpAndDownLeaveTheSlidersAloneAndHoldTheVolumeSliderUntilAnotherKey)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Show());
    ASSERT_TRUE(WaitFor([&] {
        return m_program->FocusedWindow() == m_program->Control(m_program->BrightnessPage(), IDC_BRIGHTNESS_SLIDER);
    }));

    int expectedVolume = 50;
    for (const wchar_t* arrow : {L"up", L"down"}) {
        SendTabletKey(arrow);
        // The volume changes elsewhere: it is read, but the slider holds still; the brightness
        // slider keeps following.
        const long long reads = m_tablet.Number("volume_reads");
        m_tablet.SetVolume(arrow == std::wstring(L"up") ? 0.8f : 0.3f);
        m_tablet.SetBrightness(arrow == std::wstring(L"up") ? 6 : 1);
        EXPECT_TRUE(WaitFor([&] { return Brightness() == (arrow == std::wstring(L"up") ? 6 : 1); }));
        EXPECT_TRUE(WaitFor([&] { return m_tablet.Number("volume_reads") >= reads + 3; }));
        EXPECT_EQ(Volume(), expectedVolume) << "after " << static_cast<char>(arrow[0]);

        // Any other key lets it follow again.
        SendTabletKey(std::to_wstring(VK_SHIFT));
        expectedVolume = arrow == std::wstring(L"up") ? 80 : 30;
        EXPECT_TRUE(WaitFor([&] { return Volume() == expectedVolume; })) << "volume " << Volume();
    }
    // The arrows never reached the focused slider: nothing was set or written.
    EXPECT_EQ(m_tablet.Number("brightness_sets"), 0);
    EXPECT_EQ(m_tablet.Number("volume_writes"), 0);
    EXPECT_EQ(m_tablet.Number("brightness"), 1);
}

} // namespace
