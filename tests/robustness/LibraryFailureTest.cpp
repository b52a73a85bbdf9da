// The running program without PM.dll, common.dll or any library beside it (though they lie in its
// current folder and on PATH), with stand-ins that fail or answer nonsense, and with ones that
// report each change only a while after it: it starts, hides, shows on the key and hides on the
// close mark; a slider moves only to what was read, never back over the user's move; whatever
// still has its library keeps working.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "FakeControl.h"
#include "ProgramCopy.h"
#include "ProgramUnderTest.h"
#include "RealInput.h"
#include "ScreenMeasures.h"
#include "SliderPage.h"
#include "SliderPositions.h"
#include "TestTablet.h"
#include "XPointer.h"
#include "resource.h"

namespace {

using Lines = std::vector<std::string>;

// What the first trackbar position is when nothing ever sets it: its lowest.
constexpr int kBrightnessUnset = 0;
constexpr int kVolumeUnset = 1;

// A key pressed and released on a control of the program, through its message loop. Under Wine
// a click made with SendInput goes to the topmost window under the pointer whatever its colour
// key, and there the switch page's see-through part lies over the slider pages.
void PostKey(HWND control, WORD vk, WORD scan)
{
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (1 << 24);
    ::PostMessageW(control, WM_KEYDOWN, vk, down);
    ::PostMessageW(control, WM_KEYUP, vk, down | (1 << 30) | (static_cast<LPARAM>(1) << 31));
}

bool Contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

size_t CountStarting(const Lines& lines, const std::string& prefix)
{
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

void ShowWithKey(ProgramCopy& program)
{
    TypeHotkey();
    ASSERT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
}

// The close mark hides everything and the key brings it back: the hook is still there.
void CloseAndShowAgain(ProgramCopy& program)
{
    // A button clicked before keeps the mouse until its handler has returned; let it.
    EXPECT_TRUE(Answers(program.Panel()));
    ProgramUnderTest::ClickAt(CentreOf(::GetDlgItem(program.Panel(), IDC_PANEL_CLOSE)));
    EXPECT_TRUE(WaitFor([&] { return !program.PanelVisible() && !program.AnyPageVisible(); }));
    TypeHotkey();
    EXPECT_TRUE(WaitFor([&] { return program.PanelVisible() && program.AllPagesVisible(); }));
    EXPECT_TRUE(Answers(program.Panel()));
}

// ---- missing libraries --------------------------------------------------------------------------

struct MissingCase {
    const char* name;
    std::vector<LibraryFile> present;
};

bool Has(const MissingCase& c, LibraryFile library)
{
    return std::find(c.present.begin(), c.present.end(), library) != c.present.end();
}

class MissingLibraryTest : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingLibraryTest, WhatHasItsLibraryWorksAndTheRestStaysPut)
{
    const MissingCase& c = GetParam();
    const bool pm = Has(c, LibraryFile::Pm);
    const bool common = Has(c, LibraryFile::Common);
    const bool winio = Has(c, LibraryFile::WinIo);
    TestTablet tablet;
    tablet.SetBrightness(5);
    tablet.SetVolume(0.62f);
    // Every library lies in the program's current folder and on PATH: only the program's own
    // folder counts, so a missing one stays missing.
    wchar_t path[8192] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 8192);
    ScopedVariable searchPath(L"PATH", BuildFolder() + L";" + path);
    ProgramCopy program(c.present, BuildFolder());
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(tablet.Number("task_calls"), common ? 1 : 0);
    ASSERT_NO_FATAL_FAILURE(ShowWithKey(program));

    HWND brightness = program.Control(IDC_BRIGHTNESS_SLIDER);
    HWND volume = program.Control(IDC_VOLUME_SLIDER);
    EXPECT_TRUE(WaitFor([&] { return SliderPosition(brightness) == (pm ? 5 : kBrightnessUnset); }));
    EXPECT_TRUE(WaitFor([&] { return SliderPosition(volume) == (common ? 62 : kVolumeUnset); }));

    // Changes made elsewhere show only where the library is there to report them.
    tablet.SetBrightness(2);
    tablet.SetVolume(0.3f);
    if (pm) {
        EXPECT_TRUE(WaitFor([&] { return SliderPosition(brightness) == 2; }));
    }
    if (common) {
        EXPECT_TRUE(WaitFor([&] { return SliderPosition(volume) == 30; }));
    }
    ::Sleep(400);  // several polls
    EXPECT_EQ(SliderPosition(brightness), pm ? 2 : kBrightnessUnset);
    EXPECT_EQ(SliderPosition(volume), common ? 30 : kVolumeUnset);

    // The user moves the brightness slider (it has the focus after a show).
    TypeKey(VK_END, 0x4F, true);
    EXPECT_TRUE(WaitFor([&] { return SliderPosition(brightness) == 7; }));
    if (pm) {
        EXPECT_TRUE(WaitFor([&] { return tablet.Number("brightness") == 7; }));
    } else {
        ::Sleep(400);
        EXPECT_EQ(SliderPosition(brightness), 7) << "nothing polls it back";
        EXPECT_EQ(tablet.Number("brightness_sets"), 0);
    }

    // A device switch goes to the EC only through WINIO.dll.
    ProgramUnderTest::ClickAt(CentreOf(program.Control(IDC_SWITCH_CAMERA)));
    if (winio) {
        EXPECT_TRUE(WaitFor([&] { return tablet.Field("switches") == "0x04"; }));
    } else {
        ::Sleep(300);
        EXPECT_EQ(tablet.Number("winio_opens"), 0);
        EXPECT_EQ(tablet.Field("switches"), "0x00");
    }
    if (!pm) {
        EXPECT_EQ(tablet.Number("brightness_queries"), 0);
    }
    if (!common) {
        EXPECT_EQ(tablet.Number("volume_reads"), 0);
    }

    CloseAndShowAgain(program);
    EXPECT_EQ(program.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, MissingLibraryTest,
                         ::testing::Values(MissingCase{"NoPm", {LibraryFile::WinIo, LibraryFile::Common}},
                                           MissingCase{"NoCommon", {LibraryFile::WinIo, LibraryFile::Pm}},
                                           MissingCase{"None", {}}),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- libraries that answer nonsense ------------------------------------------------------------

struct NonsenseCase {
    const char* name;
    const wchar_t* level;         // what QueryCurrentBrightnessLevel answers
    const wchar_t* volume;        // what a VolumeVista read stores ("unwritten": nothing)
    const wchar_t* failure;       // what VolumeVista, SetBrightnessLevel and AddTask7EveryBoot return
    int brightnessShown;          // where the brightness slider must stand
    int volumeShown;              // where the volume slider must stand
};

class NonsenseLibraryTest : public ::testing::TestWithParam<NonsenseCase> {};

TEST_P(NonsenseLibraryTest, SlidersMoveOnlyToWhatWasReadAndEverythingElseWorks)
{
    const NonsenseCase& c = GetParam();
    TestTablet tablet;  // the EC behind the real WINIO.dll
    ScopedVariable level(fake_library::kLevelVariable, c.level);
    ScopedVariable volumeValue(fake_library::kVolumeVariable, c.volume);
    ScopedVariable setResult(fake_library::kSetResultVariable, c.failure);
    ScopedVariable volumeResult(fake_library::kVolumeResultVariable, c.failure);
    ScopedVariable taskResult(fake_library::kTaskResultVariable, c.failure);
    ProgramCopy program({LibraryFile::WinIo, LibraryFile::FakePm, LibraryFile::FakeCommon});
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(Contains(program.CallLog(), "task 1 Tabvisor C:\\Program Files\\Tabvisor\\Tabvisor.exe"));

    ASSERT_NO_FATAL_FAILURE(ShowWithKey(program));
    HWND brightness = program.Control(IDC_BRIGHTNESS_SLIDER);
    HWND volume = program.Control(IDC_VOLUME_SLIDER);
    // Seen over several polls, not just once.
    const size_t queries = CountStarting(program.CallLog(), "query");
    ASSERT_TRUE(WaitFor([&] { return CountStarting(program.CallLog(), "query") >= queries + 3; }));
    EXPECT_EQ(SliderPosition(brightness), c.brightnessShown);
    EXPECT_EQ(SliderPosition(volume), c.volumeShown);

    // The user's moves still reach the libraries, whatever they answer.
    TypeKey(VK_HOME, 0x47, true);
    EXPECT_TRUE(WaitFor([&] { return Contains(program.CallLog(), "set 0"); }));
    EXPECT_TRUE(WaitFor([&] { return SliderPosition(brightness) == c.brightnessShown; }));

    // The volume slider cannot take a synthesized click under Wine (see PostKey); its keys can.
    // No read is good, so where the user put it, it stays.
    PostKey(volume, VK_END, 0x4F);
    EXPECT_TRUE(WaitFor([&] { return Contains(program.CallLog(), "write 4 0.99"); }));
    Linger(static_cast<DWORD>(CSliderPage::kUserMoveHoldMs));
    const size_t reads = CountStarting(program.CallLog(), "read");
    EXPECT_TRUE(WaitFor([&] { return CountStarting(program.CallLog(), "read") >= reads + 3; }));
    EXPECT_EQ(SliderPosition(volume), 99);

    ProgramUnderTest::ClickAt(CentreOf(program.Control(IDC_SWITCH_WIRELESS)));
    EXPECT_TRUE(WaitFor([&] { return tablet.Field("switches") == "0x01"; }));

    CloseAndShowAgain(program);
    EXPECT_EQ(program.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NonsenseLibraryTest,
    ::testing::Values(NonsenseCase{"AllBitsLevelNaNVolume", L"0xFFFFFFFF", L"nan", L"0x80004005", 0, 1},
                      NonsenseCase{"LevelTwelveInfiniteVolume", L"12", L"inf", L"0x80070057", 0, 1},
                      NonsenseCase{"SignBitLevelNegativeInfinity", L"0x80000000", L"-inf", L"0xFFFFFFFF", 0, 1},
                      NonsenseCase{"LargestLevelHugeVolume", L"0x7FFFFFFF", L"1e30", L"12345", 0, 1},
                      NonsenseCase{"LevelEightNegativeVolume", L"8", L"-0.5", L"0x8000FFFF", 0, 1},
                      NonsenseCase{"VolumeNeverWritten", L"3", L"unwritten", L"0x80004001", 3, 1},
                      // Succeeding, but with values no library can mean, or none at all.
                      NonsenseCase{"SucceedingWithNaN", L"9", L"nan", L"0", 0, 1},
                      NonsenseCase{"SucceedingWithTwo", L"8", L"2.0", L"0", 0, 1},
                      NonsenseCase{"SucceedingWithMinusOne", L"0xFFFFFFFF", L"-1", L"0", 0, 1},
                      NonsenseCase{"SucceedingWithoutStoring", L"12", L"unwritten", L"0", 0, 1}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- libraries that report a change only a while after it ---------------------------------------

// A common.dll and a PM.dll that take each write at once but go on reporting the old value for
// 300 ms, as a library applying its writes in the background may. The user's real pointer taps
// the volume channel and drags the thumb: no poll puts the slider back.
TEST(LaggingLibraryTest, PollsNeverUndoATapOnTheChannelOrADragOfTheThumb)
{
    ASSERT_TRUE(XPointerAvailable()) << "xdotool is missing (scripts/install-deps.sh installs it)";
    TestTablet tablet;
    ScopedVariable lag(fake_library::kLagVariable, L"300");
    ScopedVariable volumeValue(fake_library::kVolumeVariable, L"0.1");
    ScopedVariable volumeResult(fake_library::kVolumeResultVariable, L"0");
    ScopedVariable level(fake_library::kLevelVariable, L"3");
    ScopedVariable setResult(fake_library::kSetResultVariable, L"1");
    ProgramCopy program({LibraryFile::WinIo, LibraryFile::FakePm, LibraryFile::FakeCommon});
    ASSERT_TRUE(program.Started());
    ASSERT_NO_FATAL_FAILURE(ShowWithKey(program));
    HWND volume = program.Control(IDC_VOLUME_SLIDER);
    ASSERT_TRUE(WaitFor([&] { return SliderPosition(volume) == 10; }));
    auto lastWrite = [&] {
        std::string last;
        for (const std::string& line : program.CallLog())
            if (line.rfind("write 4 ", 0) == 0)
                last = line.substr(8);
        return last;
    };
    auto written = [](int position) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", static_cast<double>(VolumePositionToScalar(position)));
        return std::string(text);
    };

    // Taps to the right of the thumb: a page step each (the trackbar's default, a fifth of the range).
    RECT rect{};
    ::GetWindowRect(volume, &rect);
    const CRect slider(rect);
    int expected = 10;
    for (int tap = 0; tap < 4; ++tap) {
        ASSERT_TRUE(XClick(ThumbCentre(slider, expected + 12, 1, 99)));
        expected += 19;
        EXPECT_TRUE(WaitFor([&] { return SliderPosition(volume) == expected; })) << "tap " << tap << ": " << SliderPosition(volume);
        Linger(400);  // polls while the library still reports the old volume, and after
        EXPECT_EQ(SliderPosition(volume), expected) << "tap " << tap;
        EXPECT_EQ(lastWrite(), written(expected)) << "tap " << tap;
    }

    // A drag of the thumb down to 40: it ends there, and that is what was written last.
    ASSERT_TRUE(XDrag(ThumbCentre(slider, expected, 1, 99), ThumbCentre(slider, 40, 1, 99), 8));
    Linger(800);
    const int dragged = SliderPosition(volume);
    EXPECT_NEAR(dragged, 40, 1);
    EXPECT_EQ(lastWrite(), written(dragged));
    EXPECT_TRUE(Answers(program.Panel()));
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
