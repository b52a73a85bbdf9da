// One simulated tablet as a process uses it: its state file, kept open while it is the file at
// its path, and every use made under the machine-wide tablet lock on a copy of the state that is
// read from the file before the use and written back after it.
#pragma once
#include "TabletFile.h"
#include "TabletStateRules.h"

#include <memory>
#include <string>
#include <utility>

namespace tabvisor::simulated {

class SimulatedTablet {
public:
    explicit SimulatedTablet(std::wstring windowsPath)
        : m_path(std::move(windowsPath)), m_state(std::make_unique<TabletState>()) {}

    // Runs action(TabletState&) under the lock. The state it sees has a current header and every
    // field in range. When the tablet cannot be used the action does not run and the problem is
    // returned; the next use tries again, so a repaired file is picked up. When what the action
    // did cannot be written back (the file was emptied or cut meanwhile), the problem is returned
    // too and the file is left as it is.
    template <class Action>
    TabletProblem Use(Action&& action)
    {
        TabletLock lock;
        if (!lock.Held()) return TabletProblem::LockTimeout;
        TabletState& state = *m_state;
        const TabletProblem problem = m_file.Load(m_path, state);
        if (problem != TabletProblem::None) return problem;
        if (!HasCurrentHeader(state)) return TabletProblem::NotATablet;
        RepairFields(state);
        std::forward<Action>(action)(state);
        return m_file.Store(state);
    }

    // Makes the file a fresh tablet, whatever it held.
    TabletProblem Reset()
    {
        TabletLock lock;
        if (!lock.Held()) return TabletProblem::LockTimeout;
        return m_file.Reset(m_path, *m_state);
    }

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    TabletFile m_file;
    // The copy a use works on; only a holder of the lock touches it.
    std::unique_ptr<TabletState> m_state;
};

} // namespace tabvisor::simulated
