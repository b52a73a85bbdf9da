// Temporary tablets, environment, library binding and child processes for the libraries' tests.
#include "LibsTestSupport.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace tabvisor::testing {
namespace {

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, length);
}

std::string ReadWholeFile(HANDLE file)
{
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

afx::unique_hfile InheritableTempFile()
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    wchar_t path[MAX_PATH];
    GetTempFileNameW(TempFolder().c_str(), L"out", 0, path);
    return afx::unique_hfile(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

afx::unique_handle Start(const std::wstring& program, const std::wstring& arguments, HANDLE out, HANDLE err)
{
    const std::wstring path = BinaryDirectory() + program;
    std::wstring commandLine = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return {};
    CloseHandle(process.hThread);
    return afx::unique_handle(process.hProcess);
}

} // namespace

std::wstring BinaryDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string UnixPathOf(const std::wstring& windowsPath)
{
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto convert = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = convert ? convert(windowsPath.c_str()) : nullptr;
    if (!unixPath) return {};
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

bool StartUnixProgram(const wchar_t* path, std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    return CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
}

bool RunUnixShell(const std::string& command)
{
    // The shell leaves a mark when it is done; the mark's Windows path is watched.
    static std::atomic<unsigned int> counter{0};
    const std::wstring mark = TempFolder() + L"shell-done-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++);
    DeleteFileW(mark.c_str());
    const std::string unixMark = UnixPathOf(mark);
    if (unixMark.empty()) return false;
    const std::string line = "/bin/sh -c \"" + command + "; : > '" + unixMark + "'\"";
    if (!StartUnixProgram(L"/bin/sh", std::wstring(line.begin(), line.end()))) return false;
    for (int i = 0; i < 3000; ++i) {
        if (GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(mark.c_str());
            return true;
        }
        Sleep(10);
    }
    return false;
}

std::vector<char> FileBytes(const std::wstring& path)
{
    afx::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return {};
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

bool HoldsText(const std::vector<char>& bytes, const std::wstring& text)
{
    const std::string narrow(text.begin(), text.end());
    const auto* wide = reinterpret_cast<const char*>(text.data());
    return std::search(bytes.begin(), bytes.end(), narrow.begin(), narrow.end()) != bytes.end() ||
           std::search(bytes.begin(), bytes.end(), wide, wide + text.size() * sizeof(wchar_t)) != bytes.end();
}

TempTabletFile::TempTabletFile()
{
    static std::atomic<unsigned int> counter{0};
    m_path = TempFolder() + L"tablet-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++) + L".tablet";
    DeleteFileW(m_path.c_str());
}

TempTabletFile::~TempTabletFile()
{
    DeleteFileW(m_path.c_str());
}

ScopedVariable::ScopedVariable(const wchar_t* name, const wchar_t* value) : m_name(name)
{
    std::vector<wchar_t> previous(32768);
    const DWORD length = GetEnvironmentVariableW(name, previous.data(), static_cast<DWORD>(previous.size()));
    m_hadValue = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    m_previous.assign(previous.data(), length);
    SetEnvironmentVariableW(name, value);
}

ScopedVariable::~ScopedVariable()
{
    SetEnvironmentVariableW(m_name.c_str(), m_hadValue ? m_previous.c_str() : nullptr);
}

Library::Library(const std::wstring& fileName) : m_module(LoadLibraryW((BinaryDirectory() + fileName).c_str())) {}

Library::~Library()
{
    if (m_module) FreeLibrary(m_module);
}

TabletLibraries::TabletLibraries(const std::wstring& folder)
    : winio(folder + closed_libraries::kWinIoLibrary),
      power(folder + closed_libraries::kPowerLibrary),
      common(folder + closed_libraries::kCommonLibrary),
      initializeWinIo(winio.Bind<PFN_InitializeWinIo>("InitializeWinIo")),
      shutdownWinIo(winio.Bind<PFN_ShutdownWinIo>("ShutdownWinIo")),
      getPortVal(winio.Bind<PFN_GetPortVal>("GetPortVal")),
      setPortVal(winio.Bind<PFN_SetPortVal>("SetPortVal")),
      queryBrightness(power.Bind<PFN_QueryCurrentBrightnessLevel>("QueryCurrentBrightnessLevel")),
      setBrightness(power.Bind<PFN_SetBrightnessLevel>("SetBrightnessLevel")),
      volumeVista(common.Bind<PFN_VolumeVista>("VolumeVista")),
      addTask(common.Bind<PFN_AddTask7EveryBoot>("AddTask7EveryBoot"))
{
}

bool TabletLibraries::AllBound() const
{
    return initializeWinIo && shutdownWinIo && getPortVal && setPortVal && queryBrightness && setBrightness &&
           volumeVista && addTask;
}

ProcessOutput RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs, HANDLE givenOut)
{
    ProcessOutput result;
    afx::unique_hfile out = givenOut ? afx::unique_hfile() : InheritableTempFile();
    afx::unique_hfile err = InheritableTempFile();
    afx::unique_handle process = Start(program, arguments, givenOut ? givenOut : out.get(), err.get());
    if (!process) return result;
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 0xDEAD);
        WaitForSingleObject(process.get(), INFINITE);
    }
    GetExitCodeProcess(process.get(), &result.exitCode);
    if (out) result.out = ReadWholeFile(out.get());
    result.err = ReadWholeFile(err.get());
    return result;
}

afx::unique_handle StartProgram(const std::wstring& program, const std::wstring& arguments)
{
    return Start(program, arguments, GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE));
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace tabvisor::testing
