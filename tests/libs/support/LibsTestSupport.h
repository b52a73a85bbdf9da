// Helpers for the tablet libraries' tests: temporary tablet files, the environment variable that
// selects one, the libraries loaded the way the program loads them, and child processes.
#pragma once
#include "ClosedLibraries.h"
#include "Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tabvisor::testing {

// The folder of the running test executable, where the libraries and tools are built.
std::wstring BinaryDirectory();

// True when running under Wine rather than Windows.
bool RunningUnderWine();

// Under Wine: the Unix path of a Windows path, empty when there is none.
std::string UnixPathOf(const std::wstring& windowsPath);

// Under Wine: runs `command` in a Unix shell, as a user's terminal would, and waits until it has
// finished (Wine gives no process handle to wait on for a Unix program). False when it did not
// run or finish within 30 s.
bool RunUnixShell(const std::string& command);

// Starts a Unix program under Wine by its Unix path; false when it could not be started. Wine
// gives no handles for such a process: it leaves the PROCESS_INFORMATION as whatever was on its
// stack, so closing "its" handles would close handles of this process that happen to have those
// values (a tablet's state file, say). The caller waits for a file the program leaves instead.
bool StartUnixProgram(const wchar_t* path, std::wstring commandLine);

// A unique, empty file in the temporary folder; deleted again at the end.
class TempTabletFile {
public:
    TempTabletFile();
    TempTabletFile(const TempTabletFile&) = delete;
    TempTabletFile& operator=(const TempTabletFile&) = delete;
    ~TempTabletFile();
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Sets an environment variable of this process (and so of its children) for a scope; null
// removes it. The previous value comes back at the end.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value);
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable();

private:
    std::wstring m_name;
    std::wstring m_previous;
    bool m_hadValue = false;
};

// One of the tablet libraries, loaded from the build folder (or a folder in it: "system\\" for
// the system builds) and bound by name.
class Library {
public:
    explicit Library(const std::wstring& fileName);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library();
    bool Loaded() const { return m_module != nullptr; }

    template <class Function>
    Function Bind(const char* exportName) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, exportName)));
    }

private:
    HMODULE m_module;
};

// All eight exports, bound like the program binds them: the simulated builds, or those of `folder`
// in the build folder ("system\\").
inline constexpr wchar_t kSystemBuilds[] = L"system\\";
struct TabletLibraries {
    explicit TabletLibraries(const std::wstring& folder = L"");
    Library winio;
    Library power;
    Library common;
    PFN_InitializeWinIo initializeWinIo;
    PFN_ShutdownWinIo shutdownWinIo;
    PFN_GetPortVal getPortVal;
    PFN_SetPortVal setPortVal;
    PFN_QueryCurrentBrightnessLevel queryBrightness;
    PFN_SetBrightnessLevel setBrightness;
    PFN_VolumeVista volumeVista;
    PFN_AddTask7EveryBoot addTask;
    bool AllBound() const;
};

// A file's bytes, empty when it cannot be read.
std::vector<char> FileBytes(const std::wstring& path);
// Whether `bytes` hold `text`, in UTF-16 or as ASCII.
bool HoldsText(const std::vector<char>& bytes, const std::wstring& text);

struct ProcessOutput {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// Runs a program from the build folder with the given arguments and waits for it. Its standard
// output is captured, unless `out` names an inheritable handle to give it instead.
ProcessOutput RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 60000,
                         HANDLE out = nullptr);

// Starts a program from the build folder without waiting; the handle owns the process.
afx::unique_handle StartProgram(const std::wstring& program, const std::wstring& arguments);

// Splits text into lines at '\n'; a trailing line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

} // namespace tabvisor::testing
