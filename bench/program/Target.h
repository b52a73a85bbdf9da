// A benchmarked program (Tabvisor or the floor, plain or counting build) started in its own
// process, found by its windows, and ended again. Every wait has a time limit, and every process
// started sits in a job that ends it when the driver ends.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "LinuxProc.h"
#include "ObjectCounts.h"

struct TargetKind {
    std::wstring label;  // as the tables name it
    std::wstring exe;    // in the programs folder
    std::wstring title;  // of its main dialog
    bool hasPages = false;           // Tabvisor: five pages owned by the panel
    bool showsAtStart = false;       // Tabvisor: shown during start-up, then hidden by its one-shot timer
    bool simulatedTablet = true;     // false: started without the simulated tablet (the system backends)
    std::wstring folder;             // where `exe` lies when not in the programs folder (the other build's)
    bool onePerSession = false;      // Tabvisor.exe: a second start only shows the running one's panel
    std::vector<std::pair<std::wstring, std::wstring>> environment;  // variables set for it alone
};

// The pages in the panel's order of creation.
enum class Page { Switches, Volume, Brightness, Keyboard, TaskMgr, Count };

class Target {
public:
    explicit Target(TargetKind kind);
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // Starts the program; false when it could not be started.
    bool Start();
    // Waits for the hidden, waiting state: main dialog found, and for Tabvisor its start-up show
    // and hide done. Polls about every millisecond; false after `timeoutMs` or when the program ended.
    bool WaitReady(DWORD timeoutMs);
    // From CreateProcess to the waiting state, and (Tabvisor) to its start-up show.
    double StartupMs() const { return m_startupMs; }
    double FirstShownMs() const { return m_firstShownMs; }

    const TargetKind& Kind() const { return m_kind; }
    HWND Main() const { return m_main; }
    HWND PageWindow(Page page) const { return m_pages[static_cast<size_t>(page)]; }
    bool AllPagesFound() const;
    bool MainVisible() const { return ::IsWindowVisible(m_main) != FALSE; }
    bool AllPagesVisible() const;
    bool AnythingVisible() const;
    HANDLE Process() const { return m_process; }
    bool Running() const;

    // The Unix process behind it (found once, by the tag on its command line), and its figures.
    int UnixPid();
    ProcessSample Sample() { return SampleProcess(UnixPid()); }

    // Counting builds only: asks the program to count its objects (or only to read its CPU time
    // and memory); false when it did not answer.
    bool Count(ObjectCounts& counts, DWORD timeoutMs = 30000) { return Ask(counts, true, timeoutMs); }
    bool Times(ObjectCounts& counts, DWORD timeoutMs = 5000) { return Ask(counts, false, timeoutMs); }

    // Ends it as a user can (the close command), killing it after `timeoutMs`. Whether it ended by itself.
    bool Close(DWORD timeoutMs = 10000);

private:
    void FindPages();
    bool Ask(ObjectCounts& counts, bool objects, DWORD timeoutMs);

    TargetKind m_kind;
    std::string m_tag;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
    HWND m_pages[static_cast<size_t>(Page::Count)] = {};
    int m_unixPid = 0;
    LONGLONG m_started = 0;
    double m_startupMs = 0;
    double m_firstShownMs = 0;
};

// The folder of the driver, where every program is built.
std::wstring DriverFolder();

// The folder the benchmarked programs are started from (by default the driver's): bench/run.sh
// gives a folder of stripped copies, the programs as shipped, with their DLLs.
std::wstring ProgramsFolder();
void SetProgramsFolder(const std::wstring& folder);
