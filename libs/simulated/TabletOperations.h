// What each library call and each tabsim change does to a simulated tablet's state. The caller
// holds the tablet's lock; these functions only read and change the state.
#pragma once
#include "TabletState.h"
#include "TaskRequest.h"

namespace tabvisor::simulated {

// --- the program's side: the library exports -------------------------------------------------

// InitializeWinIo and ShutdownWinIo for one process. Opening fails when access is not granted or
// when every slot is taken (see ForgetPortUsers).
bool OpenPortWindow(TabletState& state, uint32_t processId);
bool ClosePortWindow(TabletState& state, uint32_t processId);
// Whether any process has port access open.
bool AnyPortWindowOpen(const TabletState& state);
// Frees the slots of processes that `isGone(processId)` says have ended.
template <class IsGone>
void ForgetPortUsers(TabletState& state, IsGone isGone)
{
    for (uint32_t& user : state.winio.openBy)
        if (user != 0 && isGone(user)) user = 0;
}
// One-byte port access by a process. False, counted as denied, when its access is not open.
bool ReadPort(TabletState& state, uint32_t processId, uint16_t port, uint8_t& value);
bool WritePort(TabletState& state, uint32_t processId, uint16_t port, uint8_t value);

unsigned int QueryBrightness(TabletState& state);
// False, with the level unchanged, above level 7. Every call is counted.
bool SetBrightness(TabletState& state, unsigned int level);

// Every call counts, a refused one too: the counters record what the program asked for.
// False for a null scalar.
bool ReadVolume(TabletState& state, float* scalar);
// False, with the volume unchanged, for a null scalar or one that is not a number in 0..1.
bool WriteVolume(TabletState& state, const float* scalar);

// Counts the call and records the task; a null request (one the caller refused) is only counted.
void RegisterTask(TabletState& state, const TaskRequest* request);

// --- changes made "elsewhere": tabsim --------------------------------------------------------

void SetSwitchesElsewhere(TabletState& state, uint8_t switches);
bool SetBrightnessElsewhere(TabletState& state, unsigned int level);
bool SetVolumeElsewhere(TabletState& state, float scalar);
void SetAckMode(TabletState& state, AckMode mode, uint32_t afterReads);
// The longest acknowledgement delay a tablet takes; a longer one is clamped to it.
inline constexpr uint32_t kMaxAckDelayMs = 10000;
// After each command the EC acknowledges no earlier than `ms` later (0: as the AckMode says).
void SetAckDelay(TabletState& state, uint32_t ms);
void SetPortAccessGranted(TabletState& state, bool granted);

} // namespace tabvisor::simulated
