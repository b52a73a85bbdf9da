// One simulated tablet used by two processes at once (reads taking no lock), and a process that
// dies holding its lock, idle or in the middle of a change.
#include "LibsTestSupport.h"
#include "SimulatedTablet.h"
#include "TabletStateRules.h"
#include "WireSequences.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tabvisor::testing;
using tabvisor::simulated::SimulatedTablet;
using tabvisor::simulated::TabletProblem;
using tabvisor::simulated::TabletState;

namespace {

constexpr wchar_t kVariable[] = L"TABVISOR_SIMULATED_TABLET";
constexpr int kRounds = 400;
// Each round of the client: one brightness set, one volume write, and the write sequence of
// four port accesses with an EC that acknowledges at once.
constexpr uint64_t kAccessesPerRound = 4;

TEST(SharedTablet, TwoProcessesWritingAtOnceLoseNothing)
{
    TempTabletFile file;
    ScopedVariable variable(kVariable, file.Path().c_str());
    ASSERT_EQ(SimulatedTablet(file.Path()).Reset(), TabletProblem::None);

    auto other = StartProgram(L"tablet_client.exe", L"hammer " + std::to_wstring(kRounds));
    ASSERT_TRUE(other);
    const ProcessOutput mine = RunProgram(L"tablet_client.exe", L"hammer " + std::to_wstring(kRounds));
    ASSERT_EQ(WaitForSingleObject(other.get(), 120000), WAIT_OBJECT_0);
    DWORD otherExit = 1;
    GetExitCodeProcess(other.get(), &otherExit);
    EXPECT_EQ(mine.exitCode, 0u);
    EXPECT_EQ(otherExit, 0u);

    SimulatedTablet tablet(file.Path());
    auto state = std::make_unique<TabletState>();
    ASSERT_EQ(tablet.Use([&](TabletState& shared) { *state = shared; }), TabletProblem::None);
    EXPECT_EQ(state->counters.brightnessSets, 2u * kRounds);
    EXPECT_EQ(state->counters.volumeWrites, 2u * kRounds);
    // Counted by reads made at the same time as the other process's changes.
    EXPECT_EQ(state->counters.brightnessQueries, 2u * kRounds);
    EXPECT_EQ(state->counters.volumeReads, 2u * kRounds);
    EXPECT_EQ(state->counters.winioOpens, 2u * kRounds);
    EXPECT_EQ(state->counters.ecWriteCommands, 2u * kRounds);
    EXPECT_EQ(state->counters.portDenied, 0u) << "one process closing must not cut the other off mid-sequence";
    EXPECT_EQ(state->log.total, 2u * kRounds * kAccessesPerRound);
}

TEST(SharedTablet, AProcessDyingWithTheLockDoesNotWedgeTheOthers)
{
    TempTabletFile file;
    ScopedVariable variable(kVariable, file.Path().c_str());
    TabletLibraries libs;
    ASSERT_TRUE(libs.AllBound());
    EXPECT_EQ(libs.queryBrightness(), 3u);

    float scalar = 0.5f;
    EXPECT_EQ(libs.volumeVista(3, 0, &scalar), S_OK);

    for (const wchar_t* how : {L"hold ", L"hold-changing "}) {
        const unsigned int before = libs.queryBrightness();
        const std::wstring eventName = L"TabvisorTestLockHeld" + std::to_wstring(GetCurrentProcessId());
        afx::unique_handle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        auto holder = StartProgram(L"tablet_client.exe", how + eventName);
        ASSERT_TRUE(holder);
        ASSERT_EQ(WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);

        // While a live process holds the lock too long, every call gives up with a clean failure,
        // a read too: it would see the holder's change half done.
        float write = 0.25f;
        EXPECT_EQ(libs.volumeVista(4, 0, &write), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
        EXPECT_EQ(libs.setBrightness(5), 0u);
        scalar = 0.75f;
        EXPECT_EQ(libs.volumeVista(3, 0, &scalar), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
        EXPECT_EQ(scalar, 0.75f);
        EXPECT_EQ(libs.queryBrightness(), 7u) << "the stable answer of a tablet that cannot be used";

        TerminateProcess(holder.get(), 9);
        WaitForSingleObject(holder.get(), INFINITE);
        // The holder that died in the middle of a change wrote none of it.
        EXPECT_EQ(libs.queryBrightness(), before);
        const unsigned int next = before == 5 ? 3 : 5;
        EXPECT_EQ(libs.setBrightness(next), 1u);
        EXPECT_EQ(libs.queryBrightness(), next);
        EXPECT_TRUE(libs.initializeWinIo());
        EXPECT_TRUE(libs.shutdownWinIo());
    }
}

} // namespace
