// One simulated tablet as a process uses it: its state file, mapped on first use and kept mapped
// while it is the file at its path; every change made under the machine-wide tablet lock, and
// reads of single values made without it when nothing changes meanwhile.
#pragma once
#include "TabletFile.h"
#include "TabletStateRules.h"

#include <atomic>
#include <string>
#include <utility>

namespace tabvisor::simulated {

class SimulatedTablet {
public:
    explicit SimulatedTablet(std::wstring windowsPath) : m_path(std::move(windowsPath)) {}

    // Runs action(TabletState&) under the lock. The state it sees has a current header and every
    // field in range. When the tablet cannot be used the action does not run and the problem is
    // returned; the next use tries again, so a repaired file is picked up.
    template <class Action>
    TabletProblem Use(Action&& action)
    {
        TabletLock lock;
        if (!lock.Held()) return TabletProblem::LockTimeout;
        ExclusiveMapping mapping(m_mappingGuard);
        if (m_mapping.IsOpen()) {
            const TabletProblem problem = m_mapping.Revalidate(m_path);
            if (problem != TabletProblem::None) return problem;
        }
        if (!m_mapping.IsOpen()) {
            const TabletProblem problem = m_mapping.Open(m_path);
            if (problem != TabletProblem::None) return problem;
        }
        TabletState& state = m_mapping.State();
        if (!HasCurrentHeader(state)) return TabletProblem::NotATablet;
        const uint64_t change = BeginChange(state);
        RepairFields(state);
        std::forward<Action>(action)(state);
        EndChange(state, change);
        return TabletProblem::None;
    }

    // Reads values without the lock: `read(const TabletState&)` copies what it needs and says
    // whether it found them in range; it may run twice. When the mapping is not open or whole, a
    // change is under way or happens meanwhile, or `read` says no, the read is made under the
    // lock instead (where the fields are repaired first). Then the counter `counted` goes up by
    // one, as with every call. A read of the program's 100 ms polls so costs no wineserver round
    // trip: the lock is a named mutex, two round trips a use.
    template <class Reader>
    TabletProblem Read(Reader&& read, uint64_t Counters::*counted)
    {
        {
            SharedMapping mapping(m_mappingGuard);
            if (m_mapping.IsOpen() && m_mapping.StillWhole()) {
                TabletState& state = m_mapping.State();
                const uint64_t before = Changes(state).load(std::memory_order_acquire);
                if ((before & 1) == 0 && HasCurrentHeader(state) && read(static_cast<const TabletState&>(state))) {
                    std::atomic_thread_fence(std::memory_order_acquire);
                    if (Changes(state).load(std::memory_order_relaxed) == before) {
                        Count(state, counted);
                        return TabletProblem::None;
                    }
                }
            }
        }
        return Use([&](TabletState& state) {
            read(static_cast<const TabletState&>(state));
            Count(state, counted);
        });
    }

    // Makes the file a fresh tablet, whatever it held.
    TabletProblem Reset()
    {
        TabletLock lock;
        if (!lock.Held()) return TabletProblem::LockTimeout;
        ExclusiveMapping mapping(m_mappingGuard);
        const TabletProblem problem = m_mapping.Reset(m_path);
        if (problem == TabletProblem::None) EndChange(m_mapping.State(), BeginChange(m_mapping.State()));
        return problem;
    }

    const std::wstring& Path() const { return m_path; }

private:
    // The mapping is this process's: a read without the lock must not see another thread of it
    // remap the file.
    template <void(WINAPI* Acquire)(PSRWLOCK), void(WINAPI* Release)(PSRWLOCK)>
    class MappingGuard {
    public:
        explicit MappingGuard(SRWLOCK& lock) : m_lock(lock) { Acquire(&m_lock); }
        ~MappingGuard() { Release(&m_lock); }
        MappingGuard(const MappingGuard&) = delete;
        MappingGuard& operator=(const MappingGuard&) = delete;

    private:
        SRWLOCK& m_lock;
    };
    using SharedMapping = MappingGuard<AcquireSRWLockShared, ReleaseSRWLockShared>;
    using ExclusiveMapping = MappingGuard<AcquireSRWLockExclusive, ReleaseSRWLockExclusive>;

    static std::atomic<uint64_t>& Changes(TabletState& state)
    {
        static_assert(sizeof(std::atomic<uint64_t>) == sizeof(uint64_t) && std::atomic<uint64_t>::is_always_lock_free);
        return *reinterpret_cast<std::atomic<uint64_t>*>(&state.changes);
    }
    // Odd while a change is under way, also after a holder died in the middle of one.
    static uint64_t BeginChange(TabletState& state)
    {
        const uint64_t change = Changes(state).load(std::memory_order_relaxed) | 1;
        Changes(state).store(change, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        return change;
    }
    static void EndChange(TabletState& state, uint64_t change)
    {
        Changes(state).store(change + 1, std::memory_order_release);
    }
    // Counters are shared with readers that hold no lock: every increment is atomic.
    static void Count(TabletState& state, uint64_t Counters::*counted)
    {
        reinterpret_cast<std::atomic<uint64_t>&>(state.counters.*counted).fetch_add(1, std::memory_order_relaxed);
    }

    std::wstring m_path;
    SRWLOCK m_mappingGuard = SRWLOCK_INIT;
    TabletMapping m_mapping;
};

} // namespace tabvisor::simulated
