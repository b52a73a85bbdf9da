// A copy of the program in a folder of its own, with a chosen set of libraries.
#include "ProgramCopy.h"

#include <algorithm>
#include <commctrl.h>

#include "FakeControl.h"
#include "ProgramUnderTest.h"

namespace {

std::wstring SourceOf(LibraryFile library)
{
    switch (library) {
    case LibraryFile::WinIo: return BuildFolder() + L"\\WINIO.dll";
    case LibraryFile::Pm: return BuildFolder() + L"\\PM.dll";
    case LibraryFile::Common: return BuildFolder() + L"\\common.dll";
    case LibraryFile::FakeWinIo: return BuildFolder() + L"\\robustness_fakes\\WINIO.dll";
    case LibraryFile::FakePm: return BuildFolder() + L"\\robustness_fakes\\PM.dll";
    case LibraryFile::FakeCommon: return BuildFolder() + L"\\robustness_fakes\\common.dll";
    }
    return {};
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

std::wstring NewFolder()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    for (unsigned attempt = 0;; ++attempt) {
        const std::wstring folder = std::wstring(temp) + L"tvcopy-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(::GetTickCount64() + attempt);
        if (::CreateDirectoryW(folder.c_str(), nullptr) || attempt > 100)
            return folder;
    }
}

} // namespace

ScopedVariable::ScopedVariable(const wchar_t* name, const std::wstring& value) : m_name(name)
{
    wchar_t previous[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, previous, 1024);
    m_hadPrevious = length > 0 && length < 1024;
    if (m_hadPrevious)
        m_previous.assign(previous, length);
    ::SetEnvironmentVariableW(name, value.c_str());
}

ScopedVariable::~ScopedVariable()
{
    ::SetEnvironmentVariableW(m_name.c_str(), m_hadPrevious ? m_previous.c_str() : nullptr);
}

ProgramCopy::ProgramCopy(const std::vector<LibraryFile>& libraries, const std::wstring& workingFolder)
    : m_folder(NewFolder())
{
    m_callLog = m_folder + L"\\calls.log";
    const std::wstring program = m_folder + L"\\Tabvisor.exe";
    if (!::CopyFileW((BuildFolder() + L"\\Tabvisor.exe").c_str(), program.c_str(), FALSE))
        return;
    for (LibraryFile library : libraries) {
        const std::wstring source = SourceOf(library);
        if (!::CopyFileW(source.c_str(), (m_folder + L"\\" + FileName(source)).c_str(), FALSE))
            return;
        if (library == LibraryFile::FakeWinIo &&
            !::CopyFileW(SourceOf(LibraryFile::WinIo).c_str(),
                         (m_folder + L"\\" + fake_library::kRealWinIoFile).c_str(), FALSE))
            return;
    }

    // The started program inherits the log's name.
    ScopedVariable log(fake_library::kLogVariable, m_callLog);
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const std::wstring& current = workingFolder.empty() ? m_folder : workingFolder;
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, current.c_str(),
                          &startup, &process))
        return;
    ::CloseHandle(process.hThread);
    m_process.reset(process.hProcess);
    const DWORD processId = process.dwProcessId;

    const HWND panel = WaitForWaitingPanel(processId);
    if (panel == nullptr)
        return;
    for (HWND hwnd : DialogsOf(processId))
        if (::GetWindow(hwnd, GW_OWNER) == panel)
            m_pages.push_back(hwnd);
    m_panel = panel;
}

ProgramCopy::~ProgramCopy()
{
    if (Running() && Close() == 0xFFFFFFFF) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), 10000);
    }
    m_process.reset();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((m_folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((m_folder + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(m_folder.c_str());
}

bool ProgramCopy::Running() const { return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }

DWORD ProgramCopy::Close() { return CloseByCommand(m_panel, m_process.get()); }

HWND ProgramCopy::PageWith(int id) const
{
    for (HWND page : m_pages)
        if (::GetDlgItem(page, id) != nullptr)
            return page;
    return nullptr;
}

bool ProgramCopy::AllPagesVisible() const
{
    return m_pages.size() == 5 && std::all_of(m_pages.begin(), m_pages.end(), [](HWND p) { return ::IsWindowVisible(p); });
}

bool ProgramCopy::AnyPageVisible() const
{
    return std::any_of(m_pages.begin(), m_pages.end(), [](HWND p) { return ::IsWindowVisible(p); });
}

std::vector<std::string> ProgramCopy::CallLog() const
{
    std::vector<std::string> lines;
    afx::unique_hfile file(::CreateFileW(m_callLog.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

int SliderPosition(HWND slider)
{
    DWORD_PTR position = 0;
    if (!::SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position))
        return -1000;
    return static_cast<int>(position);
}

bool Answers(HWND hwnd, UINT timeoutMs)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}
