// The simulated embedded controller against the program's wire sequences, in every
// acknowledgement mode, with its log.
#include "EmbeddedControllerModel.h"
#include "StatusReport.h"
#include "TabletOperations.h"
#include "TabletStateRules.h"
#include "WireSequences.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tabvisor::simulated;
using tabvisor::tabsim::FormatLogLine;
using tabvisor::testing::ReadSwitchesOnWire;
using tabvisor::testing::WriteSwitchesOnWire;

namespace {

class EmbeddedControllerModel : public ::testing::Test {
protected:
    EmbeddedControllerModel() { MakeFreshTablet(state); }

    uint8_t Read(uint16_t port) { return ReadEcPort(state, port); }
    void Write(uint16_t port, uint8_t value) { WriteEcPort(state, port, value); }
    auto Reader() { return [this](uint16_t port) { return Read(port); }; }
    auto Writer() { return [this](uint16_t port, uint8_t value) { Write(port, value); }; }

    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        for (size_t i = 0; i < LoggedAccessCount(state); ++i) {
            std::string line = FormatLogLine(LoggedAccess(state, i));
            line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // About 20 KB: too big for the stack of every test.
    std::unique_ptr<TabletState> owner = std::make_unique<TabletState>();
    TabletState& state = *owner;
};

TEST_F(EmbeddedControllerModel, ReadSequenceDeliversTheSwitchByteInWireOrder)
{
    SetSwitchesElsewhere(state, 0x5A);
    const auto result = ReadSwitchesOnWire(Reader(), Writer());
    EXPECT_TRUE(result.acknowledged);
    EXPECT_EQ(result.answerReads, 1);
    EXPECT_EQ(result.value, 0x5A);
    EXPECT_EQ(Log(), (std::vector<std::string>{"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00", "in 0x361 0x5A"}));
    EXPECT_EQ(state.counters.ecReadCommands, 1u);
    EXPECT_EQ(state.counters.ecWriteCommands, 0u);
}

TEST_F(EmbeddedControllerModel, WriteSequenceCommitsTheByteInWireOrder)
{
    SetSwitchesElsewhere(state, 0x01);
    const auto result = WriteSwitchesOnWire(Reader(), Writer(), 0x05);
    EXPECT_TRUE(result.acknowledged);
    EXPECT_EQ(state.ec.switches, 0x05);
    EXPECT_EQ(Log(), (std::vector<std::string>{"out 0x360 0x00", "out 0x361 0x05", "out 0x6C 0x12", "in 0x68 0xFA"}));
    EXPECT_EQ(state.counters.ecWriteCommands, 1u);
    // The committed byte is what the next read sequence sees, all eight bits of it.
    WriteSwitchesOnWire(Reader(), Writer(), 0xFF);
    EXPECT_EQ(ReadSwitchesOnWire(Reader(), Writer()).value, 0xFF);
}

TEST_F(EmbeddedControllerModel, AcknowledgesOnTheNthReadAndOnlyThenTakesEffect)
{
    SetAckMode(state, AckMode::AfterReads, 3);
    SetSwitchesElsewhere(state, 0x01);

    Write(0x360, 0);
    Write(0x361, 0x0F);
    Write(0x6C, 0x12);
    EXPECT_EQ(Read(0x68), 0x00);
    EXPECT_EQ(Read(0x68), 0x00);
    EXPECT_EQ(state.ec.switches, 0x01) << "the write must not commit before the acknowledgement";
    EXPECT_EQ(Read(0x68), 0xFA);
    EXPECT_EQ(state.ec.switches, 0x0F);
    EXPECT_EQ(Read(0x68), 0xFA) << "the acknowledgement stays until the next command";

    // A new command starts the count again.
    SetSwitchesElsewhere(state, 0x33);
    const auto read = ReadSwitchesOnWire(Reader(), Writer());
    EXPECT_EQ(read.answerReads, 3);
    EXPECT_EQ(read.value, 0x33);
}

TEST_F(EmbeddedControllerModel, AnswerZeroZeroAckTakesThreeReads)
{
    SetAckMode(state, AckMode::AfterReads, 3);
    const auto result = WriteSwitchesOnWire(Reader(), Writer(), 0x02);
    EXPECT_EQ(result.answerReads, 3);
    const auto log = Log();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"in 0x68 0x00", "in 0x68 0x00", "in 0x68 0xFA"}));
}

TEST_F(EmbeddedControllerModel, NeverAcknowledgingEcNeitherAnswersNorActs)
{
    SetAckMode(state, AckMode::Never, 1);
    SetSwitchesElsewhere(state, 0x01);
    const auto write = WriteSwitchesOnWire(Reader(), Writer(), 0x0F, 500);
    EXPECT_FALSE(write.acknowledged);
    EXPECT_EQ(write.answerReads, 500);
    EXPECT_EQ(state.ec.switches, 0x01);

    // The window still holds the byte written last, not the device state: nothing was latched.
    const auto read = ReadSwitchesOnWire(Reader(), Writer(), 10);
    EXPECT_FALSE(read.acknowledged);
    EXPECT_EQ(read.value, 0x0F);
    EXPECT_EQ(state.counters.ecReadCommands, 1u);
    EXPECT_EQ(state.counters.ecWriteCommands, 1u);
}

TEST_F(EmbeddedControllerModel, ADelayedEcAnswersOnlyOnceItsTimeHasPassedOnTopOfItsAckMode)
{
    SetAckDelay(state, 40);
    SetSwitchesElsewhere(state, 0x01);
    WriteEcPort(state, 0x360, 0, 900'000);
    WriteEcPort(state, 0x361, 0x0F, 900'000);
    WriteEcPort(state, 0x6C, 0x12, 1'000'000);
    EXPECT_EQ(ReadEcPort(state, 0x68, 1'000'000), 0x00);
    EXPECT_EQ(ReadEcPort(state, 0x68, 1'039'999), 0x00);
    EXPECT_EQ(state.ec.switches, 0x01) << "nothing takes effect before the acknowledgement";
    EXPECT_EQ(ReadEcPort(state, 0x68, 1'040'000), 0xFA);
    EXPECT_EQ(state.ec.switches, 0x0F);
    EXPECT_EQ(ReadEcPort(state, 0x68, 1'040'001), 0xFA) << "and it stays until the next command";

    // Counted from each command; the Nth read must also come after the delay.
    SetAckMode(state, AckMode::AfterReads, 3);
    WriteEcPort(state, 0x6C, 0x11, 2'000'000);
    EXPECT_EQ(ReadEcPort(state, 0x68, 2'010'000), 0x00);
    EXPECT_EQ(ReadEcPort(state, 0x68, 2'020'000), 0x00);
    EXPECT_EQ(ReadEcPort(state, 0x68, 2'030'000), 0x00) << "the third read, but too soon";
    EXPECT_EQ(ReadEcPort(state, 0x68, 2'041'000), 0xFA);

    // A clock that went backwards is no time passed; never stays never.
    WriteEcPort(state, 0x6C, 0x11, 5'000'000);
    EXPECT_EQ(ReadEcPort(state, 0x68, 4'000'000), 0x00);
    SetAckMode(state, AckMode::Never, 1);
    WriteEcPort(state, 0x6C, 0x11, 6'000'000);
    EXPECT_EQ(ReadEcPort(state, 0x68, 60'000'000), 0x00);

    // No delay: a command is acknowledged as it is written, whatever the clock.
    SetAckMode(state, AckMode::Now, 1);
    SetAckDelay(state, 0);
    WriteEcPort(state, 0x6C, 0x11, 7'000'000);
    EXPECT_EQ(ReadEcPort(state, 0x68, 0), 0xFA);
    SetAckDelay(state, 20000);
    EXPECT_EQ(state.ec.ackDelayMs, kMaxAckDelayMs);
}

TEST_F(EmbeddedControllerModel, SwitchingToNowAcknowledgesAWaitingCommandAtTheNextRead)
{
    SetAckMode(state, AckMode::Never, 1);
    SetSwitchesElsewhere(state, 0x44);
    Write(0x6C, 0x11);
    EXPECT_EQ(Read(0x68), 0x00);
    SetAckMode(state, AckMode::Now, 1);
    EXPECT_EQ(Read(0x68), 0xFA);
    Write(0x360, 0);
    EXPECT_EQ(Read(0x361), 0x44);
}

TEST_F(EmbeddedControllerModel, UnknownCommandsAndIdleEcDoNotAnswer)
{
    EXPECT_EQ(Read(0x68), 0x00) << "no command yet";
    Write(0x6C, 0x11);
    EXPECT_EQ(Read(0x68), 0xFA);
    Write(0x6C, 0x42);
    EXPECT_EQ(Read(0x68), 0x00) << "an unknown command clears the old acknowledgement";
    EXPECT_EQ(state.counters.ecReadCommands, 1u);
    EXPECT_EQ(state.counters.ecWriteCommands, 0u);
}

TEST_F(EmbeddedControllerModel, OnlyIndexZeroHoldsARegisterAndOtherPortsFloat)
{
    SetSwitchesElsewhere(state, 0x21);
    Write(0x6C, 0x11);
    Write(0x360, 0x01);
    EXPECT_EQ(Read(0x361), 0xFF);
    Write(0x361, 0x77); // ignored: no register at index 1
    Write(0x360, 0x00);
    EXPECT_EQ(Read(0x361), 0x21);
    EXPECT_EQ(Read(0x6C), 0xFF);
    EXPECT_EQ(Read(0x80), 0xFF);
    Write(0x80, 0x12); // not the command port: no command
    EXPECT_EQ(state.counters.ecWriteCommands, 0u);
    EXPECT_EQ(Log().back(), "out 0x80 0x12");
}

TEST_F(EmbeddedControllerModel, LogKeepsTheLastAccessesInOrderAndClears)
{
    const size_t total = kPortLogCapacity + 904;
    for (size_t i = 0; i < total; ++i) Write(0x360, static_cast<uint8_t>(i));
    ASSERT_EQ(LoggedAccessCount(state), kPortLogCapacity);
    // Oldest kept is access number 904 (counting from 0).
    EXPECT_EQ(LoggedAccess(state, 0).value, static_cast<uint8_t>(904));
    EXPECT_EQ(LoggedAccess(state, kPortLogCapacity - 1).value, static_cast<uint8_t>(total - 1));
    for (size_t i = 1; i < kPortLogCapacity; ++i)
        ASSERT_EQ(static_cast<uint8_t>(LoggedAccess(state, i).value - LoggedAccess(state, i - 1).value), 1);

    ClearPortLog(state);
    EXPECT_EQ(LoggedAccessCount(state), 0u);
    Read(0x68);
    EXPECT_EQ(Log(), (std::vector<std::string>{"in 0x68 0x00"}));
}

TEST_F(EmbeddedControllerModel, ClearingWhatWasPrintedKeepsWhatCameAfter)
{
    // Printed at 5 accesses, 3 more logged before the clear: those 3 stay, in order.
    for (uint8_t i = 0; i < 5; ++i) Write(0x360, i);
    uint64_t printed = state.log.total;
    for (uint8_t i = 5; i < 8; ++i) Write(0x360, i);
    ClearPortLogUpTo(state, printed);
    EXPECT_EQ(Log(), (std::vector<std::string>{"out 0x360 0x05", "out 0x360 0x06", "out 0x360 0x07"}));
    ClearPortLogUpTo(state, state.log.total);
    EXPECT_TRUE(Log().empty());

    // Printed from a wrapped ring: the accesses after it survive the wrap.
    for (size_t i = 0; i < kPortLogCapacity + 10; ++i) Write(0x361, static_cast<uint8_t>(i));
    printed = state.log.total;
    Write(0x6C, 0x11);
    Write(0x6C, 0x12);
    ClearPortLogUpTo(state, printed);
    EXPECT_EQ(Log(), (std::vector<std::string>{"out 0x6C 0x11", "out 0x6C 0x12"}));

    // Cleared by someone else meanwhile, or overrun by newer accesses: nothing printed is left,
    // and nothing is cleared.
    ClearPortLog(state);
    Write(0x360, 1);
    ClearPortLogUpTo(state, 500);
    EXPECT_EQ(Log().size(), 1u);
    printed = state.log.total;
    for (size_t i = 0; i < kPortLogCapacity; ++i) Write(0x361, 2);
    ClearPortLogUpTo(state, printed);
    EXPECT_EQ(LoggedAccessCount(state), kPortLogCapacity);
}

} // namespace
