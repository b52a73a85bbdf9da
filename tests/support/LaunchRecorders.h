// The programs the launcher pages start, stood in for by the recorder program: it is put at both
// fixed paths in the private prefix, and each start appends its path, command line and show
// command to a log that the started programs find through TABVISOR_LAUNCH_LOG.
#pragma once

#include <string>
#include <vector>

inline constexpr wchar_t kKeyboardProgram[] = L"C:\\Program Files\\Common Files\\Microsoft Shared\\ink\\TabTip.exe";
inline constexpr wchar_t kTaskMgrProgram[] = L"C:\\windows\\system32\\taskmgr.exe";

struct Launch {
    std::string program;
    std::string commandLine;
    int show = -1;
};

class LaunchRecorders {
public:
    // Installs the recorder and names a fresh log in this process's environment, which the program
    // started afterwards inherits and passes on. Installed() tells whether both copies are in place.
    LaunchRecorders();
    ~LaunchRecorders();
    LaunchRecorders(const LaunchRecorders&) = delete;
    LaunchRecorders& operator=(const LaunchRecorders&) = delete;

    bool Installed() const { return m_installed; }
    std::vector<Launch> Read() const;
    // Waits (up to ten seconds) for the `count`-th start, then a little longer so that a start too
    // many would show too. The started programs run on their own; this thread's messages wait.
    std::vector<Launch> WaitFor(size_t count) const;

private:
    std::wstring m_path;
    bool m_installed = false;
};

// The program itself, at the path the system means (not a 32-bit stand-in), with the quoted path
// it was started by as the whole command line and the show command SW_SHOW.
void ExpectLaunch(const Launch& launch, const wchar_t* program);
