// What the running program does to the tablet, seen through the simulated tablet: a switch click
// flips its bit in the EC and its picture on screen; changes made elsewhere show on the sliders
// without being written back; Up and Down leave the sliders alone and hold the volume slider until
// another key.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "ProgramTestSupport.h"
#include "ProgramUnderTest.h"
#include "ScreenMeasures.h"
#include "TestTablet.h"
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

    GdiplusSession m_gdiplus;
    TestTablet m_tablet;
    std::unique_ptr<ProgramUnderTest> m_program;
};

TEST_F(HardwareEffects, ASwitchClickFlipsItsBitInTheEcKeepsTheUpperBitsAndSwapsItsPictureOnScreen)
{
    m_tablet.SetSwitches(0x59);
    ASSERT_NO_FATAL_FAILURE(Start());
    // Start-up reads the byte and writes it back once per switch.
    EXPECT_EQ(m_tablet.Number("ec_reads"), 1);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);
    ASSERT_NO_FATAL_FAILURE(Show());
    const CRect camera = m_program->ControlRect(m_program->SwitchPage(), IDC_SWITCH_CAMERA);      // bit 2, off
    const CRect wireless = m_program->ControlRect(m_program->SwitchPage(), IDC_SWITCH_WIRELESS);  // bit 0, on
    EXPECT_TRUE(WaitFor([&] { return GreenPixels(ScreenCapture(wireless)) > 100; }));
    EXPECT_LT(GreenPixels(ScreenCapture(camera)), 20);

    const struct {
        CRect button;
        const char* switches;
        bool greenAfter;
    } clicks[] = {{camera, "0x5D", true}, {wireless, "0x5C", false}, {camera, "0x58", false}};
    long long writes = 4;
    for (const auto& click : clicks) {
        ProgramUnderTest::ClickAt(CPoint(click.button.CenterX(), click.button.CenterY()));
        EXPECT_TRUE(WaitFor([&] { return m_tablet.Field("switches") == click.switches; }))
            << "expected " << click.switches << ", the EC holds " << m_tablet.Field("switches");
        EXPECT_EQ(m_tablet.Number("ec_writes"), ++writes);
        EXPECT_TRUE(WaitFor([&] {
            const int green = GreenPixels(ScreenCapture(click.button));
            return click.greenAfter ? green > 100 : green < 20;
        })) << "picture after " << click.switches;
    }
    // The EC is read only at start.
    EXPECT_EQ(m_tablet.Number("ec_reads"), 1);
    EXPECT_TRUE(m_program->AllVisible());
}

TEST_F(HardwareEffects, ChangesMadeElsewhereShowOnTheSlidersWithinAFewTicksAndAreNeverWrittenBack)
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
    // Polling goes on while hidden.
    ProgramUnderTest::ClickAt(CPoint(m_program->ControlRect(m_program->Panel(), IDC_PANEL_CLOSE).CenterX(),
                                     m_program->ControlRect(m_program->Panel(), IDC_PANEL_CLOSE).CenterY()));
    ASSERT_TRUE(WaitFor([&] { return m_program->NoneVisible(); }));
    m_tablet.SetBrightness(2);
    m_tablet.SetVolume(0.25f);
    EXPECT_TRUE(WaitFor([&] { return Brightness() == 2 && Volume() == 25; }));
    EXPECT_EQ(m_tablet.Number("brightness_sets"), 0);
    EXPECT_EQ(m_tablet.Number("volume_writes"), 0);
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
