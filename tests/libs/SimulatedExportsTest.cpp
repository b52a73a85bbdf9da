// The eight exports, bound by name from the built DLLs like the program binds them, on a
// simulated tablet: the wire protocol through WINIO.dll, brightness, volume, the task, and what
// each call does with bad input or an unusable state file.
#include "LibsTestSupport.h"
#include "SimulatedTablet.h"
#include "TabletOperations.h"
#include "WireSequences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace tabvisor::testing;
using tabvisor::simulated::AckMode;
using tabvisor::simulated::AnyPortWindowOpen;
using tabvisor::simulated::SimulatedTablet;
using tabvisor::simulated::TabletState;

namespace {

constexpr wchar_t kVariable[] = L"TABVISOR_SIMULATED_TABLET";

class SimulatedExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(libs.AllBound()); }

    // A copy of the tablet's state as it is now.
    TabletState Snapshot()
    {
        auto copy = std::make_unique<TabletState>();
        tablet.Use([&](TabletState& state) { *copy = state; });
        return *copy;
    }
    template <class Action>
    void Change(Action action)
    {
        tablet.Use(action);
    }

    auto PortReader()
    {
        return [this](uint16_t port) {
            DWORD value = 0xDEADBEEF;
            EXPECT_TRUE(libs.getPortVal(port, &value, 1));
            EXPECT_LE(value, 0xFFu) << "the upper bytes must be cleared";
            return static_cast<uint8_t>(value);
        };
    }
    auto PortWriter()
    {
        return [this](uint16_t port, uint8_t value) { EXPECT_TRUE(libs.setPortVal(port, value, 1)); };
    }

    TempTabletFile file;
    ScopedVariable variable{kVariable, file.Path().c_str()};
    TabletLibraries libs;
    SimulatedTablet tablet{file.Path()};
};

TEST_F(SimulatedExports, DeviceSwitchesReadAndWrittenThroughWinIo)
{
    Change([](TabletState& state) { tabvisor::simulated::SetSwitchesElsewhere(state, 0x01); });
    ASSERT_TRUE(libs.initializeWinIo());
    EXPECT_TRUE(AnyPortWindowOpen(Snapshot()));
    EXPECT_EQ(ReadSwitchesOnWire(PortReader(), PortWriter()).value, 0x01);
    EXPECT_TRUE(WriteSwitchesOnWire(PortReader(), PortWriter(), 0x05).acknowledged);
    EXPECT_TRUE(libs.shutdownWinIo());

    const TabletState state = Snapshot();
    EXPECT_EQ(state.ec.switches, 0x05);
    EXPECT_FALSE(AnyPortWindowOpen(state));
    EXPECT_EQ(state.counters.winioOpens, 1u);
    EXPECT_EQ(state.counters.ecReadCommands, 1u);
    EXPECT_EQ(state.counters.ecWriteCommands, 1u);
    EXPECT_EQ(state.log.total, 8u);
    EXPECT_EQ(state.counters.portDenied, 0u);
}

TEST_F(SimulatedExports, AcknowledgementAfterThreeReadsIsSeenThroughWinIo)
{
    Change([](TabletState& state) { tabvisor::simulated::SetAckMode(state, AckMode::AfterReads, 3); });
    ASSERT_TRUE(libs.initializeWinIo());
    const auto result = WriteSwitchesOnWire(PortReader(), PortWriter(), 0x0A);
    libs.shutdownWinIo();
    EXPECT_EQ(result.answerReads, 3);
    EXPECT_EQ(Snapshot().ec.switches, 0x0A);
}

TEST_F(SimulatedExports, PortCallsOutsideTheWindowFailAndAreCounted)
{
    DWORD value = 0x1234;
    EXPECT_FALSE(libs.getPortVal(0x68, &value, 1));
    EXPECT_EQ(value, 0x1234u);
    EXPECT_FALSE(libs.setPortVal(0x6C, 0x11, 1));
    EXPECT_FALSE(libs.shutdownWinIo()) << "nothing was open";

    Change([](TabletState& state) { tabvisor::simulated::SetPortAccessGranted(state, false); });
    EXPECT_FALSE(libs.initializeWinIo());
    EXPECT_FALSE(libs.setPortVal(0x6C, 0x11, 1));

    const TabletState state = Snapshot();
    EXPECT_EQ(state.counters.portDenied, 3u);
    EXPECT_EQ(state.counters.winioOpens, 1u);
    EXPECT_EQ(state.counters.ecReadCommands, 0u);
    EXPECT_EQ(state.log.total, 0u);
}

TEST_F(SimulatedExports, MalformedPortCallsChangeNothing)
{
    ASSERT_TRUE(libs.initializeWinIo());
    EXPECT_FALSE(libs.getPortVal(0x68, nullptr, 1));
    DWORD value = 7;
    EXPECT_FALSE(libs.getPortVal(0x68, &value, 2));
    EXPECT_FALSE(libs.getPortVal(0x68, &value, 0));
    EXPECT_FALSE(libs.setPortVal(0x6C, 0x11, 4));
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(Snapshot().log.total, 0u);

    // Only the low byte of a written value reaches the port.
    EXPECT_TRUE(libs.setPortVal(0x360, 0x1FF, 1));
    libs.shutdownWinIo();
    EXPECT_EQ(Snapshot().log.ring[0].value, 0xFF);
}

TEST_F(SimulatedExports, BrightnessLevelsAndTheirCounters)
{
    EXPECT_EQ(libs.queryBrightness(), 3u);
    EXPECT_EQ(libs.setBrightness(6), 1u);
    EXPECT_EQ(libs.setBrightness(8), 0u);
    EXPECT_EQ(libs.setBrightness(0xFFFFFFFFu), 0u);
    EXPECT_EQ(libs.queryBrightness(), 6u);
    Change([](TabletState& state) { tabvisor::simulated::SetBrightnessElsewhere(state, 2); });
    EXPECT_EQ(libs.queryBrightness(), 2u);
    const TabletState state = Snapshot();
    EXPECT_EQ(state.counters.brightnessQueries, 3u);
    EXPECT_EQ(state.counters.brightnessSets, 3u);
}

TEST_F(SimulatedExports, VolumeReadAndWriteWithBadInputRefused)
{
    float scalar = -1.0f;
    EXPECT_EQ(libs.volumeVista(3, 0, &scalar), S_OK);
    EXPECT_EQ(scalar, 0.5f);
    scalar = 29 * 0.01f;
    EXPECT_EQ(libs.volumeVista(4, 0, &scalar), S_OK);
    float back = 0;
    EXPECT_EQ(libs.volumeVista(3, 0, &back), S_OK);
    EXPECT_EQ(back, scalar) << "the single-precision value comes back bit for bit";

    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -0.5f, 1.5f})
        EXPECT_EQ(libs.volumeVista(4, 0, &bad), E_INVALIDARG);
    EXPECT_EQ(libs.volumeVista(3, 0, nullptr), E_POINTER);
    EXPECT_EQ(libs.volumeVista(4, 0, nullptr), E_POINTER);
    float untouched = 0.25f;
    EXPECT_EQ(libs.volumeVista(5, 0, &untouched), E_INVALIDARG);
    EXPECT_EQ(libs.volumeVista(-1, 0, &untouched), E_INVALIDARG);
    EXPECT_EQ(untouched, 0.25f);

    const TabletState state = Snapshot();
    EXPECT_EQ(state.volume, scalar);
    EXPECT_EQ(state.counters.volumeReads, 3u);
    EXPECT_EQ(state.counters.volumeWrites, 6u) << "every write call counts, unknown operations do not";
}

TEST_F(SimulatedExports, TaskIsRecordedAndBadRequestsOnlyCounted)
{
    const wchar_t* description = L"hotkey function switch auto run here.\nIf you don't want it to start with "
                                 L"system boot,\ndelete this task!";
    EXPECT_EQ(libs.addTask(1, L"Tabvisor", L"C:\\Program Files\\Tabvisor\\Tabvisor.exe", L"Quorvanta", description),
              S_OK);
    EXPECT_EQ(libs.addTask(2, L"Other", L"C:\\x.exe", nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(libs.addTask(1, nullptr, L"C:\\x.exe", nullptr, nullptr), E_POINTER);
    EXPECT_EQ(libs.addTask(1, L"Other", nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(libs.addTask(1, L"", L"C:\\x.exe", nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(libs.addTask(1, L"a\\b", L"C:\\x.exe", nullptr, nullptr), E_INVALIDARG);
    const std::wstring tooLong(1024, L'd');
    EXPECT_EQ(libs.addTask(1, L"Other", L"C:\\x.exe", nullptr, tooLong.c_str()), E_INVALIDARG);

    TabletState state = Snapshot();
    EXPECT_EQ(state.counters.taskCalls, 7u);
    EXPECT_EQ(state.task.kind, 1);
    EXPECT_STREQ(state.task.name, L"Tabvisor");
    EXPECT_STREQ(state.task.author, L"Quorvanta");
    EXPECT_STREQ(state.task.description, description);

    // Absent author and description are recorded as empty; the longest description fits.
    const std::wstring longest(1023, L'd');
    EXPECT_EQ(libs.addTask(1, L"Other", L"C:\\x.exe", nullptr, longest.c_str()), S_OK);
    state = Snapshot();
    EXPECT_STREQ(state.task.author, L"");
    EXPECT_EQ(std::wstring(state.task.description), longest);
}

TEST_F(SimulatedExports, UnusableFileFailsEveryCallCleanlyUntilReset)
{
    {
        afx::unique_hfile handle(CreateFileW(file.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(handle.get(), "not a tablet", 12, &written, nullptr);
    }
    EXPECT_FALSE(libs.initializeWinIo());
    DWORD value = 3;
    EXPECT_FALSE(libs.getPortVal(0x68, &value, 1));
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(libs.queryBrightness(), 7u) << "the stable answer";
    EXPECT_EQ(libs.setBrightness(2), 0u);
    float scalar = 0.125f;
    EXPECT_TRUE(FAILED(libs.volumeVista(3, 0, &scalar)));
    EXPECT_EQ(scalar, 0.125f);
    EXPECT_TRUE(FAILED(libs.addTask(1, L"Tabvisor", L"C:\\x.exe", nullptr, nullptr)));

    ASSERT_EQ(tablet.Reset(), tabvisor::simulated::TabletProblem::None);
    EXPECT_EQ(libs.queryBrightness(), 3u) << "the repaired file is used without reloading anything";
    EXPECT_TRUE(libs.initializeWinIo());
    libs.shutdownWinIo();
}

TEST_F(SimulatedExports, ChangingTheVariableSwitchesTablets)
{
    TempTabletFile other;
    libs.setBrightness(1);
    {
        ScopedVariable switched(kVariable, other.Path().c_str());
        EXPECT_EQ(libs.queryBrightness(), 3u) << "a fresh tablet in the other file";
        libs.setBrightness(5);
    }
    EXPECT_EQ(libs.queryBrightness(), 1u);
    SimulatedTablet otherTablet(other.Path());
    unsigned int otherLevel = 0;
    otherTablet.Use([&](TabletState& state) { otherLevel = state.brightness; });
    EXPECT_EQ(otherLevel, 5u);
}

} // namespace
