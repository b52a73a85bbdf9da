// Starting a program by its full path, past WOW64's redirection of the system folder.
#include "ProgramStart.h"

#include <windows.h>

#include "ModulePaths.h"

namespace {

bool RunsUnderWow64()
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return !folder.empty() && path.size() > folder.size() && path[folder.size()] == L'\\' &&
           ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                  static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::wstring NativeSystemPath(const std::wstring& path)
{
    if (!RunsUnderWow64())
        return path;
    const std::wstring system = afx::SystemFolder();
    const std::wstring windows = afx::WindowsFolder();
    if (windows.empty() || !StartsWithFolder(path, system))
        return path;
    return windows + L"\\Sysnative" + path.substr(system.size());
}

bool StartProgram(const std::wstring& program, int show)
{
    // The started program sees its own path as the system means it, quoted.
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(NativeSystemPath(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
