// The simulated tablet's answers to each library call and to tabsim's changes: the port window,
// refused values, counters, and repair of a half-written state.
#include "EmbeddedControllerModel.h"
#include "TabletOperations.h"
#include "TabletStateRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace tabvisor::simulated;

namespace {

class TabletOperations : public ::testing::Test {
protected:
    TabletOperations() { MakeFreshTablet(state); }
    std::unique_ptr<TabletState> owner = std::make_unique<TabletState>();
    TabletState& state = *owner;
};

TEST_F(TabletOperations, FreshTabletHasTheDocumentedDefaults)
{
    EXPECT_TRUE(HasCurrentHeader(state));
    EXPECT_EQ(state.ec.switches, 0x00);
    EXPECT_EQ(state.brightness, 3u);
    EXPECT_EQ(state.volume, 0.5f);
    EXPECT_EQ(state.ec.ackMode, AckMode::Now);
    EXPECT_EQ(state.winio.granted, 1);
    EXPECT_FALSE(AnyPortWindowOpen(state));
    EXPECT_EQ(state.task.kind, 0);
    EXPECT_EQ(state.log.total, 0u);
}

constexpr uint32_t kProgram = 1200;
constexpr uint32_t kOtherProgram = 1300;

TEST_F(TabletOperations, PortsWorkOnlyBetweenOpenAndClose)
{
    uint8_t value = 0x99;
    EXPECT_FALSE(ReadPort(state, kProgram, kAnswerPort, value));
    EXPECT_FALSE(WritePort(state, kProgram, kCommandPort, kReadCommand));
    EXPECT_EQ(value, 0x99);
    EXPECT_EQ(state.counters.portDenied, 2u);
    EXPECT_EQ(state.log.total, 0u) << "a refused access is not an access";
    EXPECT_EQ(state.counters.ecReadCommands, 0u);

    EXPECT_FALSE(ClosePortWindow(state, kProgram)) << "nothing to close yet";
    EXPECT_TRUE(OpenPortWindow(state, kProgram));
    EXPECT_TRUE(AnyPortWindowOpen(state));
    EXPECT_TRUE(WritePort(state, kProgram, kCommandPort, kReadCommand));
    EXPECT_TRUE(ReadPort(state, kProgram, kAnswerPort, value));
    EXPECT_EQ(value, kAcknowledge);
    EXPECT_TRUE(ClosePortWindow(state, kProgram));
    EXPECT_FALSE(AnyPortWindowOpen(state));
    EXPECT_FALSE(ReadPort(state, kProgram, kAnswerPort, value));
    EXPECT_EQ(state.counters.portDenied, 3u);
    EXPECT_EQ(state.counters.winioOpens, 1u);
}

TEST_F(TabletOperations, PortAccessBelongsToTheProcessThatOpenedIt)
{
    ASSERT_TRUE(OpenPortWindow(state, kProgram));
    uint8_t value = 0;
    EXPECT_FALSE(ReadPort(state, kOtherProgram, kAnswerPort, value));
    ASSERT_TRUE(OpenPortWindow(state, kOtherProgram));
    EXPECT_TRUE(ClosePortWindow(state, kOtherProgram));
    EXPECT_TRUE(ReadPort(state, kProgram, kAnswerPort, value)) << "another process closing leaves ours open";
    EXPECT_TRUE(OpenPortWindow(state, kProgram)) << "opening twice is harmless";
    EXPECT_TRUE(ClosePortWindow(state, kProgram));
    EXPECT_FALSE(AnyPortWindowOpen(state));
}

TEST_F(TabletOperations, SlotsOfEndedProcessesAreFreedWhenTheTableIsFull)
{
    for (uint32_t id = 1; id <= kMaxPortUsers; ++id) ASSERT_TRUE(OpenPortWindow(state, id));
    EXPECT_FALSE(OpenPortWindow(state, kProgram)) << "every slot taken";
    ForgetPortUsers(state, [](uint32_t id) { return id % 2 == 0; });
    EXPECT_TRUE(OpenPortWindow(state, kProgram));
    uint8_t value = 0;
    EXPECT_TRUE(ReadPort(state, 1, kAnswerPort, value));
    EXPECT_FALSE(ReadPort(state, 2, kAnswerPort, value));
}

TEST_F(TabletOperations, RefusedPortAccessCountsEveryOpenAttempt)
{
    SetPortAccessGranted(state, false);
    EXPECT_FALSE(OpenPortWindow(state, kProgram));
    EXPECT_FALSE(OpenPortWindow(state, kProgram));
    EXPECT_FALSE(AnyPortWindowOpen(state));
    EXPECT_EQ(state.counters.winioOpens, 2u);
    uint8_t value = 0;
    EXPECT_FALSE(ReadPort(state, kProgram, kDataPort, value));
    EXPECT_EQ(state.counters.portDenied, 1u);
}

TEST_F(TabletOperations, BrightnessAboveSevenIsRefusedButCounted)
{
    EXPECT_TRUE(SetBrightness(state, 7));
    EXPECT_FALSE(SetBrightness(state, 8));
    EXPECT_FALSE(SetBrightness(state, std::numeric_limits<unsigned int>::max()));
    EXPECT_EQ(QueryBrightness(state), 7u);
    EXPECT_EQ(state.counters.brightnessSets, 3u);
    EXPECT_EQ(state.counters.brightnessQueries, 1u);
    EXPECT_TRUE(SetBrightnessElsewhere(state, 0));
    EXPECT_EQ(state.counters.brightnessSets, 3u) << "a change made elsewhere is not the program's";
}

TEST_F(TabletOperations, VolumeTakesOnlyNumbersFromZeroToOne)
{
    const float refused[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), -0.001f, 1.0001f};
    for (const float scalar : refused) EXPECT_FALSE(WriteVolume(state, &scalar)) << scalar;
    EXPECT_FALSE(WriteVolume(state, nullptr));
    EXPECT_EQ(state.volume, 0.5f);

    const float exact = 0.29f;
    EXPECT_TRUE(WriteVolume(state, &exact));
    float read = 0;
    EXPECT_TRUE(ReadVolume(state, &read));
    EXPECT_EQ(read, exact) << "the scalar comes back bit for bit";
    EXPECT_FALSE(ReadVolume(state, nullptr));

    const float negativeZero = -0.0f;
    EXPECT_TRUE(WriteVolume(state, &negativeZero));
    EXPECT_FALSE(std::signbit(state.volume));
    EXPECT_EQ(state.counters.volumeWrites, 8u);
    EXPECT_EQ(state.counters.volumeReads, 2u);
}

TEST_F(TabletOperations, TaskRequestsAreRecordedAndRefusedOnesOnlyCounted)
{
    RegisterTask(state, nullptr);
    EXPECT_EQ(state.counters.taskCalls, 1u);
    EXPECT_EQ(state.task.kind, 0);

    tabvisor::TaskRequest request{1, L"Tabvisor", L"C:\\Program Files\\Tabvisor\\Tabvisor.exe", L"Quorvanta",
                                  L"line one\nline two"};
    RegisterTask(state, &request);
    EXPECT_EQ(state.counters.taskCalls, 2u);
    EXPECT_EQ(state.task.kind, 1);
    EXPECT_STREQ(state.task.program, L"C:\\Program Files\\Tabvisor\\Tabvisor.exe");
    EXPECT_STREQ(state.task.description, L"line one\nline two");

    // A shorter name replaces the longer one completely.
    request.name = L"T";
    RegisterTask(state, &request);
    EXPECT_STREQ(state.task.name, L"T");
}

TEST_F(TabletOperations, RepairBringsAHalfWrittenStateBackIntoRange)
{
    state.brightness = 200;
    state.volume = std::numeric_limits<float>::quiet_NaN();
    state.ec.ackMode = static_cast<AckMode>(9);
    state.ec.ackAfterReads = 0;
    std::fill(std::begin(state.task.name), std::end(state.task.name), L'x');
    RepairFields(state);
    EXPECT_EQ(state.brightness, 7u);
    EXPECT_EQ(state.volume, kFreshVolume);
    EXPECT_EQ(state.ec.ackMode, AckMode::Now);
    EXPECT_EQ(state.ec.ackAfterReads, 1u);
    EXPECT_EQ(std::wcslen(state.task.name), kTaskNameCapacity - 1);
}

TEST_F(TabletOperations, HeaderOfAnotherVersionOrMagicIsNotCurrent)
{
    state.header.version = kTabletStateVersion + 1;
    EXPECT_FALSE(HasCurrentHeader(state));
    MakeFreshTablet(state);
    state.header.size -= 8;
    EXPECT_FALSE(HasCurrentHeader(state));
    MakeFreshTablet(state);
    state.header.magic[0] = 'X';
    EXPECT_FALSE(HasCurrentHeader(state));
}

} // namespace
