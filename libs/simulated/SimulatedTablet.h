// One simulated tablet as a process uses it: its state file, mapped on first use and kept mapped
// while it is the file at its path, and every use made under the machine-wide tablet lock.
#pragma once
#include "TabletFile.h"
#include "TabletStateRules.h"

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
        RepairFields(state);
        std::forward<Action>(action)(state);
        return TabletProblem::None;
    }

    // Makes the file a fresh tablet, whatever it held.
    TabletProblem Reset()
    {
        TabletLock lock;
        if (!lock.Held()) return TabletProblem::LockTimeout;
        return m_mapping.Reset(m_path);
    }

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    TabletMapping m_mapping;
};

} // namespace tabvisor::simulated
