// Installing the recorder at the launch paths and reading what it logged.
#include "LaunchRecorders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "ProgramStart.h"

#include <cwchar>
#include <fstream>
#include <sstream>


namespace {

constexpr wchar_t kProgramTrap[] = L"C:\\Program.exe";

std::wstring Directory(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

bool MakeFolders(const std::wstring& folder)
{
    for (size_t at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
        ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
        if (at == std::wstring::npos)
            break;
    }
    return ::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine starts its built-in Task Manager whatever lies at its path unless told to take the file.
void PreferTheFileAtTheTaskManagerPath()
{
    HKEY overrides = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &overrides, nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t native[] = L"native";
    ::RegSetValueExW(overrides, L"taskmgr.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(native), sizeof(native));
    ::RegCloseKey(overrides);
}

} // namespace

LaunchRecorders::LaunchRecorders()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + L"tabvisor-launches-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
    ::DeleteFileW(m_path.c_str());

    PreferTheFileAtTheTaskManagerPath();
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring recorder = Directory(self) + L"\\launch_recorder.exe";
    m_installed = true;
    // A 32-bit test on 64-bit Windows reaches the real system folder as Sysnative; what it
    // calls the system folder is the 32-bit one, which gets a recorder too, so that a start that
    // lands there shows as a start of the wrong program.
    const std::wstring native = NativeSystemPath(kTaskMgrProgram);
    // And a trap: a program started by its unquoted path with spaces, without an application
    // name, is looked for as "C:\Program.exe" first.
    std::vector<std::wstring> targets{kKeyboardProgram, native, kProgramTrap};
    if (native != kTaskMgrProgram)
        targets.push_back(kTaskMgrProgram);
    for (const std::wstring& target : targets)
        m_installed = m_installed && MakeFolders(Directory(target)) &&
                      ::CopyFileW(recorder.c_str(), target.c_str(), FALSE);
    ::SetEnvironmentVariableW(L"TABVISOR_LAUNCH_LOG", m_path.c_str());
}

LaunchRecorders::~LaunchRecorders()
{
    ::DeleteFileW(kProgramTrap);
    ::SetEnvironmentVariableW(L"TABVISOR_LAUNCH_LOG", nullptr);
    ::DeleteFileW(m_path.c_str());
}

std::vector<Launch> LaunchRecorders::Read() const
{
    std::vector<Launch> launches;
    std::ifstream file(m_path.c_str());
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        Launch launch;
        std::string show;
        std::getline(fields, launch.program, '\t');
        std::getline(fields, launch.commandLine, '\t');
        std::getline(fields, show);
        launch.show = show.empty() ? -1 : std::stoi(show);
        launches.push_back(launch);
    }
    return launches;
}

std::vector<Launch> LaunchRecorders::WaitFor(size_t count) const
{
    // Sleeps rather than pumps: a test step inside a modal loop must not run the next step here.
    for (int i = 0; i < 500 && Read().size() < count; ++i)
        ::Sleep(20);
    ::Sleep(300);
    return Read();
}

void ExpectLaunch(const Launch& launch, const wchar_t* program)
{
    const std::string path(program, program + std::wcslen(program));
    EXPECT_EQ(launch.program, path);
    // The shell hands on the path it was given, which for a 32-bit process on 64-bit Windows names
    // the system folder through Sysnative.
    const std::wstring given = NativeSystemPath(program);
    EXPECT_EQ(launch.commandLine, '"' + std::string(given.begin(), given.end()) + '"');
    EXPECT_EQ(launch.show, SW_SHOW);
}
