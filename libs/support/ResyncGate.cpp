// The lock and the two waits behind ResyncGate.
#include "ResyncGate.h"

namespace tabvisor {

class ResyncGate::Lock {
public:
    explicit Lock(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock() { ReleaseSRWLockExclusive(&m_lock); }

private:
    SRWLOCK& m_lock;
};

uint64_t ResyncGate::SystemMilliseconds()
{
    return GetTickCount64();
}

ResyncGate::ResyncGate(Clock clock) : m_clock(clock), m_schedule(clock()) {}

void ResyncGate::BeforeRead()
{
    Lock lock(m_lock);
    if (m_schedule.OnCall(m_clock())) WakeLocked();
    // A spurious or early return from the condition only asks the schedule again.
    while (const DWORD waitMs = m_schedule.FreshReadWaitMs(m_clock()))
        SleepConditionVariableSRW(&m_resynced, &m_lock, waitMs, 0);
}

void ResyncGate::BeforeWrite()
{
    Lock lock(m_lock);
    if (m_schedule.OnCall(m_clock())) WakeLocked();
}

void ResyncGate::Wake()
{
    Lock lock(m_lock);
    WakeLocked();
}

void ResyncGate::WakeLocked()
{
    m_workPending = true;
    WakeConditionVariable(&m_workArrived);
}

bool ResyncGate::WaitForWork(DWORD periodMs)
{
    Lock lock(m_lock);
    const DWORD waitMs = m_schedule.NextWaitMs(m_clock(), periodMs);
    const bool asleep = waitMs == INFINITE;
    if (asleep) {
        while (!m_workPending) SleepConditionVariableSRW(&m_workArrived, &m_lock, INFINITE, 0);
    } else if (!m_workPending) {
        // A spurious return only brings the round forward.
        SleepConditionVariableSRW(&m_workArrived, &m_lock, waitMs, 0);
    }
    m_workPending = false;
    m_schedule.OnWorkerWoken();
    return asleep;
}

void ResyncGate::Resynced(bool gotAnswer)
{
    Lock lock(m_lock);
    m_schedule.OnResynced(gotAnswer);
    WakeAllConditionVariable(&m_resynced);
}

void ResyncGate::NotificationsArrive()
{
    Lock lock(m_lock);
    m_schedule.OnNotificationsArrive();
}

void ResyncGate::NotificationsLost()
{
    Lock lock(m_lock);
    m_schedule.OnNotificationsLost();
}

} // namespace tabvisor
