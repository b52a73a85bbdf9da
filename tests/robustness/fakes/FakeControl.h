// What the test-only stand-ins for WINIO.dll, PM.dll and common.dll answer, chosen by the test
// through environment variables that the started program inherits, and the log of the calls they get.
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
// Set (to milliseconds): the level and the volume are the library's own, starting at the values
// above; a set or write changes them, but reads report the value from before it for so long.
inline constexpr wchar_t kLagVariable[] = L"TABVISOR_FAKE_LAG_MS";
// The port library passes every call to the real one (beside it as winio_real.dll), except:
inline constexpr wchar_t kFailDataWriteEveryVariable[] = L"TABVISOR_FAKE_FAIL_DATA_WRITE_EVERY";  // N: every Nth write to 0x361 fails
inline constexpr wchar_t kFailWriteCommandVariable[] = L"TABVISOR_FAKE_FAIL_WRITE_COMMAND";      // 1: writing 0x12 to 0x6C fails
inline constexpr wchar_t kDataReadsFloatVariable[] = L"TABVISOR_FAKE_DATA_READS_FF";           // 1: 0x361 reads 0xFF
inline constexpr wchar_t kRealWinIoFile[] = L"winio_real.dll";
inline constexpr wchar_t kDelayVariable[] = L"TABVISOR_FAKE_DELAY_MS";           // how long every call takes
inline constexpr wchar_t kGateVariable[] = L"TABVISOR_FAKE_GATE";                // an event every call waits for

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

// A slow or a stuck library: every call first takes the chosen time, then, while the test keeps
// the named event (manual-reset) unset, waits for it, as long as that takes.
inline void TakeTheTimeAsked()
{
    if (const unsigned long delay = NumberVariable(kDelayVariable, 0))
        ::Sleep(delay);
    const std::wstring gate = Variable(kGateVariable);
    if (gate.empty())
        return;
    if (HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, gate.c_str())) {
        ::WaitForSingleObject(event, INFINITE);
        ::CloseHandle(event);
    }
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

// A value that a write changes at once but that reads report only `lagMs` after the last write,
// as a library that applies its writes in the background may.
template <class Value>
class LaggingValue {
public:
    explicit LaggingValue(Value initial) : m_before(initial), m_after(initial) {}
    Value Read(ULONGLONG lagMs) const { return ::GetTickCount64() - m_writtenAt < lagMs ? m_before : m_after; }
    void Write(Value value, ULONGLONG lagMs)
    {
        m_before = Read(lagMs);
        m_after = value;
        m_writtenAt = ::GetTickCount64();
    }

private:
    Value m_before;
    Value m_after;
    ULONGLONG m_writtenAt = 0;
};

} // namespace fake_library
