// What the installer's tests look at from outside: the installed folder and the packed files,
// setups and uninstallers run to their real end, the uninstall entry, the boot task in the Task
// Scheduler, the installed program's panel, and a forced clean-up that leaves the shared test
// prefix as it was.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Handles.h"
#include "RunningProgram.h"

namespace installer_test {

// The folder the boot task names, and so the one the setup must use.
inline constexpr wchar_t kInstallFolder[] = L"C:\\Program Files\\Tabvisor";
inline constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tabvisor";

enum class Arch { X86, X64 };

std::wstring InstalledPath(const std::wstring& file);
// Where the build put the test and tabsim; the setup lies in the x64 tree, also for the x86
// tree's run of these tests (in a 32-bit prefix).
std::wstring BuildFolder();
std::wstring SetupPath();
// The copy of a file that the setup packs for `arch` (stripped of symbols, so not the one in
// BuildFolder). Its libraries are the system builds, which know no simulated tablet.
std::wstring PackedPath(const std::wstring& file, Arch arch);
// The simulated build of one of the three libraries for `arch`, as the tests and ./run.sh use it.
std::wstring SimulatedLibraryPath(const std::wstring& file, Arch arch);
// The architecture of the running Windows, and of a PE file (nothing for another or no PE file).
Arch WindowsArch();
std::optional<Arch> MachineOf(const std::wstring& path);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::vector<char> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<char>& bytes);
// The names in a folder, sorted, without "." and "..".
std::vector<std::wstring> FolderContents(const std::wstring& folder);
std::optional<FILETIME> LastWriteTime(const std::wstring& path);
bool SetLastWriteTime(const std::wstring& path, const FILETIME& time);
// The SHA-256 of a file's content in lower-case hex, as the setup records it; empty when the
// file cannot be read.
std::wstring Sha256Of(const std::wstring& path);

// Runs a command line and waits until it and every process it started have ended: an NSIS
// uninstaller hands its work to a copy of itself and returns at once. Gives the first process's
// exit code, or nothing when it could not start or the processes were still running after
// `timeoutMs` (they are then ended).
std::optional<DWORD> RunToTheEnd(const std::wstring& commandLine, DWORD timeoutMs = 120000);
std::optional<DWORD> RunSetupSilently();

// A string value of the uninstall entry in the 64-bit registry view.
std::optional<std::wstring> UninstallValue(const wchar_t* name);
bool UninstallEntryExists();
// Records `file` as one a setup put there: the fingerprint of what it holds now.
void MarkInstalledBySetup(const wchar_t* file);
// Records it as setups before fingerprints did: a bare 1.
void MarkInstalledByEarlierSetup(const wchar_t* file);

// A "Tabvisor" task in the root folder of the Task Scheduler, as the program's library leaves it.
HRESULT RegisterBootTask();
bool BootTaskExists();

// Tabvisor.exe started from the install folder as a user starts it, seen from outside.
class InstalledProgram {
public:
    // Starts it and waits until its panel exists and has hidden itself after start-up.
    InstalledProgram();
    ~InstalledProgram();
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;

    HWND Panel() const { return m_panel; }
    bool Running() const;
    // Waits up to `timeoutMs` for the process to end; its exit code if it did.
    std::optional<DWORD> WaitForEnd(DWORD timeoutMs);
    // The close command, as the user gives it; the exit code if it ended.
    std::optional<DWORD> Close();

private:
    afx::unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_panel = nullptr;
};

// The file name of the program that started process `processId` (lower case), or empty.
std::wstring ParentProgramOf(DWORD processId);

// The tablet key through tabsim.
void PressHotkey();

// Uninstalls what an earlier run left and then deletes whatever remains (files, folder, uninstall
// entry, boot task, the uninstallers' temporary copies), so each test starts from nothing.
void RemoveEverything();

} // namespace installer_test
