// Which processes holding port access on a simulated tablet are still alive. A process id alone
// cannot tell: a killed holder's id may soon belong to another process (Wine hands ids out again
// quickly). So a process that takes port access first creates a named event that lives exactly
// as long as the process, and a holder whose event is gone has ended.
#pragma once
#include <cstdint>

namespace tabvisor::simulated {

// Marks this process as one that takes port access; false when the mark cannot be made.
bool MarkThisProcessAsPortHolder();

// Whether the process `processId`, recorded as holding port access, has ended since.
bool PortHolderHasEnded(uint32_t processId);

} // namespace tabvisor::simulated
