// The simulated embedded controller on its four ports, and the log of every port access.
//
// Command port 0x6C takes 0x11 (read: latch the device-switch byte into the register window) and
// 0x12 (write: commit the window's byte as the device-switch byte). A command takes effect when
// the EC acknowledges it, which the answer port 0x68 shows by reading 0xFA: at once, on the Nth
// read after the command, or never, by the tablet's AckMode; with an acknowledgement delay, not
// before that many milliseconds have passed since the command either. Until then, and after an
// unknown command, 0x68 reads 0x00; the 0xFA stays until the next command. The window is index port 0x360 and data port 0x361; only index 0
// holds a register. Other ports, and reads of write-only ports, read 0xFF and ignore writes.
#pragma once
#include "TabletState.h"

namespace tabvisor::simulated {

inline constexpr uint16_t kCommandPort = 0x6C;
inline constexpr uint16_t kAnswerPort = 0x68;
inline constexpr uint16_t kIndexPort = 0x360;
inline constexpr uint16_t kDataPort = 0x361;

inline constexpr uint8_t kReadCommand = 0x11;
inline constexpr uint8_t kWriteCommand = 0x12;
inline constexpr uint8_t kAcknowledge = 0xFA;
inline constexpr uint8_t kNoAnswer = 0x00;
inline constexpr uint8_t kFloatingBus = 0xFF;

// The system's steady clock in microseconds, the same in every process: a command written by one
// process and its answer read by another are measured on one clock.
uint64_t EcClockMicroseconds();

// One access each, logged in order, at `nowMicroseconds` on that clock. Counts 0x11 and 0x12 commands.
uint8_t ReadEcPort(TabletState& state, uint16_t port, uint64_t nowMicroseconds = EcClockMicroseconds());
void WriteEcPort(TabletState& state, uint16_t port, uint8_t value, uint64_t nowMicroseconds = EcClockMicroseconds());

// The logged accesses still held, oldest first; at most kPortLogCapacity.
size_t LoggedAccessCount(const TabletState& state);
PortAccess LoggedAccess(const TabletState& state, size_t indexFromOldest);
void ClearPortLog(TabletState& state);
// Clears the accesses logged up to the log's total `printedTotal` (taken when they were read out)
// and keeps those logged since. After a clear by someone else meanwhile it clears nothing; only a
// clear followed by more than `printedTotal` new accesses could be mistaken for none.
void ClearPortLogUpTo(TabletState& state, uint64_t printedTotal);

} // namespace tabvisor::simulated
