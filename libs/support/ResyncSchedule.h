// When a system backend's worker thread reads the system's value again, and when a read has to
// wait for that. While calls come, the worker resyncs on its period; once nobody has called for
// kKeepAwakeMs it sleeps without a timeout, so an idle process costs nothing, and the next call
// wakes it. A cache that change notifications kept current all along answers that call at once;
// one they did not cover may be hours old, so the reads after such a wake-up wait for the
// worker's fresh reading, all of them together at most kFreshReadWaitMs. Decided here, apart
// from the OS and its clock, so tests can drive it. Not thread-safe: ResyncGate guards it.
#pragma once
#include <windows.h>

#include <cstdint>

namespace tabvisor {

class ResyncSchedule {
public:
    // How long the worker keeps resyncing after the last call: a page hidden and shown again
    // within it finds the worker awake and the value at most one period old.
    static constexpr uint64_t kKeepAwakeMs = 5000;
    // The longest the reads after a quiet period hold their callers for the fresh reading. The
    // pages poll every 100 ms: waiting longer would only hold the panel until the reading the
    // next poll brings anyway.
    static constexpr uint64_t kFreshReadWaitMs = 100;

    // A backend is started by a call, at `nowMs`: that call keeps its worker awake too.
    explicit ResyncSchedule(uint64_t nowMs) : m_lastCallMs(nowMs) {}

    // A caller is about to answer from the cache (or to queue a write). True when it must wake
    // the worker, which sleeps; if the cache was not covered meanwhile, reads wait from now on.
    bool OnCall(uint64_t nowMs)
    {
        if (nowMs > m_lastCallMs) m_lastCallMs = nowMs;
        if (!m_asleep) return false;
        m_asleep = false;
        if (!m_covered) {
            m_awaitingFresh = true;
            m_freshDueMs = nowMs + kFreshReadWaitMs;
        }
        return true;
    }

    // How much longer a read should wait for the worker's fresh reading; 0: answer now.
    DWORD FreshReadWaitMs(uint64_t nowMs) const
    {
        if (!m_awaitingFresh || nowMs >= m_freshDueMs) return 0;
        return static_cast<DWORD>(m_freshDueMs - nowMs);
    }

    // Change notifications reach the cache from now on (a subscription made, or seen to work).
    void OnNotificationsArrive() { m_notificationsArrive = true; }
    // They stopped reaching it: the cache is as old as the last reading, and stays uncovered until
    // the next one, even if notifications come back before it.
    void OnNotificationsLost()
    {
        m_notificationsArrive = false;
        m_covered = false;
    }

    // The worker has asked the system and published what it found; `gotAnswer` is false when the
    // question itself failed, which ends the reads' wait too (nothing fresher is coming) but
    // covers nothing. Taken together with OnNotificationsLost under one lock, so a notification
    // channel that breaks while the worker reads can never be counted on afterwards.
    void OnResynced(bool gotAnswer)
    {
        m_awaitingFresh = false;
        m_covered = gotAnswer && m_notificationsArrive;
    }

    // How long the worker waits before its next resync, `periodMs` being its period while calls
    // come: INFINITE once nobody has called for kKeepAwakeMs, and it then counts as asleep.
    DWORD NextWaitMs(uint64_t nowMs, DWORD periodMs)
    {
        if (nowMs < m_lastCallMs + kKeepAwakeMs) return periodMs;
        m_asleep = true;
        return INFINITE;
    }

    // Something other than a call woke the worker (a queued write, a device change).
    void OnWorkerWoken() { m_asleep = false; }

private:
    uint64_t m_lastCallMs;
    bool m_asleep = false;
    bool m_notificationsArrive = false;
    bool m_covered = false; // they arrived at the last reading and have not been lost since
    bool m_awaitingFresh = false;
    uint64_t m_freshDueMs = 0;
};

} // namespace tabvisor
