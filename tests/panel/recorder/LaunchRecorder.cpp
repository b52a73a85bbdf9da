// Stands in for a program that a launcher page starts. Each start appends one line to the file
// that TABVISOR_LAUNCH_LOG names (the tests set it; started programs inherit it): the program's
// own path, the command line it was given and its show command, separated by tabs. Then it exits.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t log[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TABVISOR_LAUNCH_LOG", log, MAX_PATH) == 0)
        return 1;
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::string line =
        Utf8(std::wstring(self) + L"\t" + ::GetCommandLineW() + L"\t" + std::to_wstring(show)) + "\n";

    // Two starts may overlap; appending waits for the other writer.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = ::CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return 0;
        }
        ::Sleep(10);
    }
    return 2;
}
