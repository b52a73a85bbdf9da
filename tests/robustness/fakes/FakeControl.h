// What the test-only stand-ins for PM.dll and common.dll answer, chosen by the test through
// environment variables that the started program inherits, and the log of the calls they get.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fake_library {

// Names of the variables, shared with the tests that set them.
inline constexpr wchar_t kLogVariable[] = L"TABVISOR_FAKE_LOG";                  // file the calls are appended to
inline constexpr wchar_t kLevelVariable[] = L"TABVISOR_FAKE_LEVEL";              // QueryCurrentBrightnessLevel's answer
inline constexpr wchar_t kSetResultVariable[] = L"TABVISOR_FAKE_SET_RESULT";     // SetBrightnessLevel's result
inline constexpr wchar_t kVolumeVariable[] = L"TABVISOR_FAKE_VOLUME";            // what a read stores; "unwritten": nothing
inline constexpr wchar_t kVolumeResultVariable[] = L"TABVISOR_FAKE_VOLUME_RESULT";  // VolumeVista's result
inline constexpr wchar_t kTaskResultVariable[] = L"TABVISOR_FAKE_TASK_RESULT";   // AddTask7EveryBoot's result

inline std::wstring Variable(const wchar_t* name)
{
    wchar_t value[512] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 512);
    return length > 0 && length < 512 ? std::wstring(value, length) : std::wstring();
}

// A number in C notation (0x.. for hex); `otherwise` when the variable is unset.
inline unsigned long NumberVariable(const wchar_t* name, unsigned long otherwise)
{
    const std::wstring text = Variable(name);
    return text.empty() ? otherwise : std::wcstoul(text.c_str(), nullptr, 0);
}

// Appends one line to the log file, if the test named one. Opened per call: the test reads it
// while the program runs.
__attribute__((format(printf, 1, 2))) inline void Log(const char* format, ...)
{
    const std::wstring path = Variable(kLogVariable);
    if (path.empty())
        return;
    char line[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, sizeof(line) - 1, format, args);
    va_end(args);
    if (length <= 0)
        return;
    const size_t size = static_cast<size_t>(length) < sizeof(line) - 1 ? static_cast<size_t>(length) : sizeof(line) - 2;
    line[size] = '\n';
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(size + 1), &written, nullptr);
    ::CloseHandle(file);
}

} // namespace fake_library
