// Access to a simulated tablet's state file: the lock every process takes around each use, and
// the shared memory mapping of the file.
#pragma once
#include "TabletState.h"
#include "UniqueHandle.h"

#include <string>

namespace tabvisor::simulated {

enum class TabletProblem {
    None,
    CannotOpen,  // the file cannot be opened, created or mapped
    NotATablet,  // too short, another version, or not a tablet at all: `tabsim reset` repairs it
    LockTimeout, // another process held the lock for too long
};

// Serialises every use of every simulated tablet on this machine, across processes and threads.
// One named mutex for all tablets keeps the rule simple (a tablet reached through two different
// paths is still locked once) and costs nothing, since each use holds it for microseconds.
// A process that dies holding it abandons it; the next taker gets it and is told.
class TabletLock {
public:
    static constexpr DWORD kTimeoutMs = 500;

    TabletLock();
    TabletLock(const TabletLock&) = delete;
    TabletLock& operator=(const TabletLock&) = delete;
    ~TabletLock();

    bool Held() const { return m_held; }
    bool WasAbandoned() const { return m_abandoned; }

private:
    HANDLE m_mutex;
    bool m_held = false;
    bool m_abandoned = false;
};

// The state file mapped into this process. Open, Reset and Revalidate must be called with the
// lock held.
class TabletMapping {
public:
    TabletMapping() = default;
    TabletMapping(const TabletMapping&) = delete;
    TabletMapping& operator=(const TabletMapping&) = delete;
    ~TabletMapping() { Unmap(); }

    // A missing or empty file becomes a fresh tablet. An existing file that is too short is left
    // alone and reported NotATablet; a long enough one is mapped even when its header is foreign,
    // so that a later reset by another process is seen without reopening.
    TabletProblem Open(const std::wstring& path);

    // Makes the file a fresh tablet whatever it held, lengthening it when it is too short.
    TabletProblem Reset(const std::wstring& path);

    // Before each use of an open mapping: follows what was done to the file from outside since.
    // Deleted (or replaced): the mapping is dropped, and the next Open takes the file now at
    // `path`, as every other process does. Emptied: a fresh tablet, as any empty file is. Cut short
    // but not empty: NotATablet, untouched, until a reset.
    TabletProblem Revalidate(const std::wstring& path);

    // Whether the mapped file is still the one at its path and long enough: what Revalidate
    // would leave alone. Changes nothing, so it needs no lock.
    bool StillWhole() const;

    bool IsOpen() const { return static_cast<bool>(m_view); }
    TabletState& State() const { return *static_cast<TabletState*>(m_view.Get()); }

private:
    // What became of the mapped file at its path, as Revalidate and StillWhole judge it.
    enum class FileCondition { Unknown, Gone, Empty, Short, Whole };
    FileCondition Condition() const;

    TabletProblem Map(UniqueHandle file);
    void Unmap();

    UniqueHandle m_file;  // kept open to watch the file and to lengthen it again when it is cut
    MappedView m_view;
};

} // namespace tabvisor::simulated
