// The running program behind a port library that fails on purpose, in front of the simulated EC:
// a data port that reads 0xFF (nothing on the bus), every third byte written to the data port
// refused, the write command refused. Nothing that was not read is ever written, and the
// switches on screen never show a state the EC does not hold: a failed tap looks unreachable,
// and the next tap tries the same change again.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "FakeControl.h"
#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "ScreenMeasures.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

enum class Look { On, Off, Faded };

const char* Name(Look look) { return look == Look::On ? "on" : look == Look::Off ? "off" : "faded"; }

class PortFailure : public ::testing::Test {
protected:
    // Starts the program behind the fake port library, its fault chosen by `variable`, with the
    // EC holding Wi-Fi and Bluetooth on (0x09).
    void Start(const wchar_t* variable, const wchar_t* value)
    {
        m_tablet.SetSwitches(0x09);
        m_fault = std::make_unique<ScopedVariable>(variable, value);
        m_program = std::make_unique<ProgramCopy>(
            std::vector<LibraryFile>{LibraryFile::FakeWinIo, LibraryFile::Pm, LibraryFile::Common});
        ASSERT_TRUE(m_program->Started());
    }
    void Show()
    {
        TypeHotkey();
        ASSERT_TRUE(WaitFor([&] { return m_program->PanelVisible() && m_program->AllPagesVisible(); }));
    }
    // Shows the panel while the EC holds the camera off, and keeps that picture.
    void ShowCameraOff()
    {
        ASSERT_NO_FATAL_FAILURE(Show());
        ASSERT_TRUE(WaitFor([&] { return GreenPixels(ScreenCapture(Camera())) < 20; }));
        m_off = std::make_unique<ScreenCapture>(SettledPicture(Camera()));
    }
    CRect Camera() const
    {
        RECT rect{};
        ::GetWindowRect(m_program->Control(IDC_SWITCH_CAMERA), &rect);
        return CRect(rect);
    }
    void TapCamera()
    {
        ProgramUnderTest::ClickAt(CentreOf(m_program->Control(IDC_SWITCH_CAMERA)));
        ASSERT_TRUE(Answers(m_program->Panel()));
    }
    // What the camera's picture shows, told apart by its green and by the off picture taken
    // while the EC held the camera off.
    Look CameraLook() const
    {
        const ScreenCapture now(Camera());
        if (GreenPixels(now) > 100)
            return Look::On;
        return Differing(now, *m_off) < Camera().Width() * Camera().Height() / 20 ? Look::Off : Look::Faded;
    }
    bool CameraShows(Look look) const
    {
        return WaitFor([&] { return CameraLook() == look; });
    }
    bool EcCameraOn() { return (m_tablet.Number("switches") & 0x04) != 0; }

    GdiplusSession m_gdiplus;
    TestTablet m_tablet;
    std::unique_ptr<ScopedVariable> m_fault;
    std::unique_ptr<ProgramCopy> m_program;
    std::unique_ptr<ScreenCapture> m_off;
};

TEST_F(PortFailure, ADataPortReadingFFIsNoByteAtStartAtAShowAndBeforeATap)
{
    ASSERT_NO_FATAL_FAILURE(Start(fake_library::kDataReadsFloatVariable, L"1"));
    EXPECT_EQ(m_tablet.Number("ec_reads"), 1);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    ASSERT_NO_FATAL_FAILURE(Show());
    EXPECT_TRUE(WaitFor([&] { return GreenPixels(ScreenCapture(Camera())) == 0; }));
    TapCamera();
    TapCamera();
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Field("switches"), "0x09") << "Wi-Fi and Bluetooth stay on";
    EXPECT_EQ(m_program->Close(), 0u);
}

TEST_F(PortFailure, WithEveryThirdDataByteRefusedNoTapShowsAStateTheEcDoesNotHold)
{
    ASSERT_NO_FATAL_FAILURE(Start(fake_library::kFailDataWriteEveryVariable, L"3"));
    // Start-up writes the byte back per device until the third byte written is refused.
    EXPECT_EQ(m_tablet.Number("ec_writes"), 2);
    EXPECT_EQ(m_tablet.Field("switches"), "0x09");
    ASSERT_NO_FATAL_FAILURE(ShowCameraOff());  // the show's read brings the pictures back

    // A tap ends in a write the EC took, or in a byte the port library refused (which it logs).
    auto refusals = [&] {
        const std::vector<std::string> log = m_program->CallLog();
        return std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("refused", 0) == 0; });
    };
    int failed = 0;
    for (int tap = 0; tap < 8; ++tap) {
        const long long writes = m_tablet.Number("ec_writes");
        const long refused = refusals();
        TapCamera();
        ASSERT_TRUE(WaitFor([&] { return m_tablet.Number("ec_writes") == writes + 1 || refusals() == refused + 1; }));
        const bool done = m_tablet.Number("ec_writes") == writes + 1;
        failed += done ? 0 : 1;
        const Look expected = !done ? Look::Faded : EcCameraOn() ? Look::On : Look::Off;
        EXPECT_TRUE(CameraShows(expected)) << "tap " << tap << ": expected " << Name(expected) << ", shows "
                                           << Name(CameraLook());
    }
    EXPECT_GE(failed, 2);
    // Each tap that got through changed the camera, a failed one included on its next try.
    EXPECT_EQ(EcCameraOn(), (8 - failed) % 2 == 1);
    EXPECT_EQ(m_tablet.Number("switches") & ~0x04, 0x09);
    EXPECT_EQ(m_program->Close(), 0u);
}

TEST_F(PortFailure, WithTheWriteCommandRefusedTheOldAcknowledgementIsNotTakenForDone)
{
    ASSERT_NO_FATAL_FAILURE(Start(fake_library::kFailWriteCommandVariable, L"1"));
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    ASSERT_NO_FATAL_FAILURE(ShowCameraOff());
    for (int tap = 0; tap < 3; ++tap) {
        TapCamera();
        EXPECT_TRUE(CameraShows(Look::Faded)) << "tap " << tap << " shows " << Name(CameraLook());
    }
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Field("switches"), "0x09");
    EXPECT_EQ(m_program->Close(), 0u);
}

} // namespace
