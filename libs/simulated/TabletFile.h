// Access to a simulated tablet's state file: the lock every process takes around each use, and
// the file as one process keeps it open, read before a use and written after it.
#pragma once
#include "Handles.h"
#include "TabletState.h"

#include <string>

namespace tabvisor::simulated {

enum class TabletProblem {
    None,
    CannotOpen,  // the file cannot be opened, created, read or written
    NotATablet,  // too short, another version, or not a tablet at all: `tabsim reset` repairs it
    LockTimeout, // another process held the lock for too long
};

// Serialises every use of every simulated tablet on this machine, across processes and threads.
// One named mutex for all tablets keeps the rule simple (a tablet reached through two different
// paths is still locked once) and costs little, since each use holds it for microseconds.
// A process that dies holding it abandons it and the next taker gets it; nothing is lost, since
// a use writes the file only once, after its changes.
class TabletLock {
public:
    static constexpr DWORD kTimeoutMs = 500;

    TabletLock();
    TabletLock(const TabletLock&) = delete;
    TabletLock& operator=(const TabletLock&) = delete;
    ~TabletLock();

    bool Held() const { return m_held; }

private:
    HANDLE m_mutex;  // the process's one handle (borrowed)
    bool m_held = false;
};

// The state file as this process keeps it. Every call must be made with the lock held.
class TabletFile {
public:
    TabletFile() = default;
    TabletFile(const TabletFile&) = delete;
    TabletFile& operator=(const TabletFile&) = delete;

    // Reads the tablet into `state`. The first time, and after the file was deleted (or replaced),
    // the file now at `path` is opened: a missing or empty one becomes a fresh tablet, one too
    // short is left alone and reported NotATablet. An open file that has been emptied or cut
    // short from outside since is NotATablet, left as it is, until a reset makes it whole again.
    // A long enough file is read even when its header is foreign (the caller judges it), so a
    // later reset by another process is seen without reopening.
    TabletProblem Load(const std::wstring& path, TabletState& state);

    // Writes `state` back to the open file, unless it has been emptied or cut short meanwhile.
    TabletProblem Store(const TabletState& state);

    // Makes the file a fresh tablet whatever it held, lengthening it when it is too short, and
    // leaves `state` a fresh tablet.
    TabletProblem Reset(const std::wstring& path, TabletState& state);

private:
    // What became of the open file at its path.
    enum class FileCondition { Unknown, Gone, Empty, Short, Whole };
    FileCondition Condition() const;

    afx::unique_hfile m_file;  // kept open to tell an emptied or deleted file from a new one
};

} // namespace tabvisor::simulated
