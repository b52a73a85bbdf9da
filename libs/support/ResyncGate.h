// Where a system backend's callers meet its worker thread, by ResyncSchedule's rules: each call
// is recorded (waking the worker when it sleeps, and holding a read briefly for the worker's fresh
// reading when the cache may have gone stale meanwhile), and the worker waits here for its next
// round. A slim lock and condition variables: no handle to own, and nothing here throws.
#pragma once
#include "ResyncSchedule.h"

#include <windows.h>

#include <cstdint>

namespace tabvisor {

class ResyncGate {
public:
    using Clock = uint64_t (*)();
    // Milliseconds since boot, the clock the libraries use.
    static uint64_t SystemMilliseconds();

    explicit ResyncGate(Clock clock = &SystemMilliseconds);
    ResyncGate(const ResyncGate&) = delete;
    ResyncGate& operator=(const ResyncGate&) = delete;

    // Callers, before answering from the cache.
    void BeforeRead();
    void BeforeWrite();
    // The worker has work that cannot wait for its period: a queued write, a device change.
    void Wake();

    // The worker: waits until its next round is due (its period while calls come, otherwise
    // until a call or Wake). True when it had been asleep, that is when a quiet period ends.
    bool WaitForWork(DWORD periodMs);
    // The worker has published a reading, or failed to get one; see ResyncSchedule.
    void Resynced(bool gotAnswer);
    // Whoever keeps the notifications: they reach the cache from now on, or no longer.
    void NotificationsArrive();
    void NotificationsLost();

private:
    class Lock;
    void WakeLocked();

    Clock m_clock;
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_workArrived = CONDITION_VARIABLE_INIT;
    CONDITION_VARIABLE m_resynced = CONDITION_VARIABLE_INIT;
    bool m_workPending = false;
    ResyncSchedule m_schedule;
};

} // namespace tabvisor
