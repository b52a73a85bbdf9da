// The simulated embedded controller: command, acknowledgement and register-window behaviour.
#include "EmbeddedControllerModel.h"

#include <windows.h>

#include <algorithm>

namespace tabvisor::simulated {
namespace {

void Log(TabletState& state, uint16_t port, uint8_t value, PortDirection direction)
{
    PortLog& log = state.log;
    log.ring[log.total % kPortLogCapacity] = PortAccess{port, value, direction};
    ++log.total;
}

void CarryOut(TabletState& state, uint8_t command)
{
    EmbeddedController& ec = state.ec;
    if (command == kReadCommand) ec.windowData = ec.switches;
    if (command == kWriteCommand) ec.switches = ec.windowData;
    ec.acknowledged = 1;
}

void AcceptCommand(TabletState& state, uint8_t command, uint64_t nowMicroseconds)
{
    EmbeddedController& ec = state.ec;
    ec.answerReads = 0;
    ec.acknowledged = 0;
    ec.commandMicroseconds = nowMicroseconds;
    if (command == kReadCommand) ++state.counters.ecReadCommands;
    if (command == kWriteCommand) ++state.counters.ecWriteCommands;
    if (command != kReadCommand && command != kWriteCommand) {
        ec.pendingCommand = 0;
        return;
    }
    ec.pendingCommand = command;
    if (ec.ackMode == AckMode::Now && ec.ackDelayMs == 0) CarryOut(state, command);
}

// A clock running backwards (another machine's file) counts as no time passed.
bool DelayOver(const EmbeddedController& ec, uint64_t nowMicroseconds)
{
    return nowMicroseconds >= ec.commandMicroseconds &&
           nowMicroseconds - ec.commandMicroseconds >= uint64_t{ec.ackDelayMs} * 1000;
}

uint8_t ReadAnswer(TabletState& state, uint64_t nowMicroseconds)
{
    EmbeddedController& ec = state.ec;
    if (ec.acknowledged) return kAcknowledge;
    if (ec.pendingCommand == 0) return kNoAnswer;
    if (ec.answerReads < UINT32_MAX) ++ec.answerReads;
    // A mode changed to "now" while a command waits acknowledges it at the next read.
    const bool due = ec.ackMode == AckMode::Now ||
                     (ec.ackMode == AckMode::AfterReads && ec.answerReads >= ec.ackAfterReads);
    if (!due || !DelayOver(ec, nowMicroseconds)) return kNoAnswer;
    CarryOut(state, ec.pendingCommand);
    return kAcknowledge;
}

} // namespace

uint64_t EcClockMicroseconds()
{
    static const long long frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    const uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
    const uint64_t perSecond = static_cast<uint64_t>(frequency);
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

uint8_t ReadEcPort(TabletState& state, uint16_t port, uint64_t nowMicroseconds)
{
    uint8_t value = kFloatingBus;
    if (port == kAnswerPort) value = ReadAnswer(state, nowMicroseconds);
    if (port == kDataPort && state.ec.windowIndex == 0) value = state.ec.windowData;
    Log(state, port, value, PortDirection::In);
    return value;
}

void WriteEcPort(TabletState& state, uint16_t port, uint8_t value, uint64_t nowMicroseconds)
{
    Log(state, port, value, PortDirection::Out);
    if (port == kCommandPort) AcceptCommand(state, value, nowMicroseconds);
    if (port == kIndexPort) state.ec.windowIndex = value;
    if (port == kDataPort && state.ec.windowIndex == 0) state.ec.windowData = value;
}

size_t LoggedAccessCount(const TabletState& state)
{
    return state.log.total < kPortLogCapacity ? static_cast<size_t>(state.log.total) : kPortLogCapacity;
}

PortAccess LoggedAccess(const TabletState& state, size_t indexFromOldest)
{
    const uint64_t first = state.log.total - LoggedAccessCount(state);
    return state.log.ring[(first + indexFromOldest) % kPortLogCapacity];
}

void ClearPortLog(TabletState& state)
{
    state.log.total = 0;
}

void ClearPortLogUpTo(TabletState& state, uint64_t printedTotal)
{
    PortLog& log = state.log;
    if (log.total < printedTotal) return;
    const uint64_t newer = log.total - printedTotal;
    // So many new ones that the ring holds none of those printed: nothing to clear.
    if (newer >= kPortLogCapacity) return;
    // The newer accesses move to the front of the ring, oldest first.
    PortAccess kept[kPortLogCapacity];
    for (uint64_t i = 0; i < newer; ++i) kept[i] = log.ring[(printedTotal + i) % kPortLogCapacity];
    std::copy(kept, kept + newer, log.ring);
    log.total = newer;
}

} // namespace tabvisor::simulated
