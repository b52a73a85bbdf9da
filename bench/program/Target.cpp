// Starting, finding and ending the benchmarked programs.
#include "Target.h"

#include <cstring>
#include <cwchar>

#include "Measure.h"

namespace {

constexpr wchar_t kSimulatedTabletVariable[] = L"TABVISOR_SIMULATED_TABLET";

// One job for everything the driver starts: when the driver ends, however it ends, so do they.
HANDLE Job()
{
    static HANDLE job = [] {
        HANDLE created = ::CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created != nullptr)
            ::SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        return created;
    }();
    return job;
}

struct OwnedDialogs {
    DWORD processId;
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnedDialogs(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<OwnedDialogs*>(param);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (processId == search->processId && std::wcscmp(name, L"#32770") == 0 &&
        ::GetWindow(hwnd, GW_OWNER) == search->owner)
        search->found.push_back(hwnd);
    return TRUE;
}

// Where each page sits on the panel (offset of its top-left corner), which tells the pages apart.
constexpr POINT kPageOffsets[] = {{60, 70}, {266, 76}, {473, 76}, {58, 226}, {266, 226}};

} // namespace

std::wstring DriverFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

namespace {
std::wstring g_programsFolder;
}

std::wstring ProgramsFolder() { return g_programsFolder.empty() ? DriverFolder() : g_programsFolder; }

void SetProgramsFolder(const std::wstring& folder) { g_programsFolder = folder; }

Target::Target(TargetKind kind) : m_kind(std::move(kind)) {}

Target::~Target()
{
    if (Running())
        Close(5000);
    if (m_process != nullptr)
        ::CloseHandle(m_process);
}

bool Target::Start()
{
    static int started = 0;
    m_tag = "--bench-tag=" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++started);
    // The programs read no command line; the tag only lets the driver find the Unix process.
    const std::wstring folder = m_kind.folder.empty() ? ProgramsFolder() : m_kind.folder;
    std::wstring command = L"\"" + folder + L"\\" + m_kind.exe + L"\" " + std::wstring(m_tag.begin(), m_tag.end());

    wchar_t saved[1024] = {};
    const DWORD savedLength = ::GetEnvironmentVariableW(kSimulatedTabletVariable, saved, 1024);
    if (!m_kind.simulatedTablet)
        ::SetEnvironmentVariableW(kSimulatedTabletVariable, nullptr);

    for (const auto& [name, value] : m_kind.environment)
        ::SetEnvironmentVariableW(name.c_str(), value.c_str());

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    m_started = Now();
    const BOOL created = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                          nullptr, &startup, &info);
    if (!m_kind.simulatedTablet && savedLength > 0 && savedLength < 1024)
        ::SetEnvironmentVariableW(kSimulatedTabletVariable, saved);
    // The driver itself sets none of these otherwise.
    for (const auto& [name, value] : m_kind.environment)
        ::SetEnvironmentVariableW(name.c_str(), nullptr);
    if (!created)
        return false;
    if (Job() != nullptr)
        ::AssignProcessToJobObject(Job(), info.hProcess);
    ::ResumeThread(info.hThread);
    ::CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    return true;
}

bool Target::Running() const { return m_process != nullptr && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool Target::WaitReady(DWORD timeoutMs)
{
    bool seenShown = false;
    LONGLONG layeredSince = 0;
    const LONGLONG begin = Now();
    while (MsSince(begin) < timeoutMs) {
        if (!Running())
            return false;
        if (m_main == nullptr) {
            for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, L"#32770", m_kind.title.c_str()); hwnd != nullptr;
                 hwnd = ::FindWindowExW(nullptr, hwnd, L"#32770", m_kind.title.c_str())) {
                DWORD processId = 0;
                ::GetWindowThreadProcessId(hwnd, &processId);
                if (processId == m_processId)
                    m_main = hwnd;
            }
        }
        if (m_main != nullptr && !m_kind.showsAtStart) {
            m_startupMs = MsSince(m_started);
            return true;
        }
        if (m_main != nullptr) {
            // The panel has its title early in initialisation and its layered face late; it is shown
            // when initialisation ends and hides itself about 50 ms later: then it is waiting.
            const bool layered = (::GetWindowLongPtrW(m_main, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
            const bool visible = MainVisible();
            if (visible && !seenShown) {
                seenShown = true;
                m_firstShownMs = MsSince(m_started);
            }
            if (layered && layeredSince == 0)
                layeredSince = Now();
            if (layered && !visible && (seenShown || MsSince(layeredSince) > 500)) {
                m_startupMs = MsSince(m_started);
                FindPages();
                return true;
            }
        }
        ::Sleep(1);
    }
    return false;
}

void Target::FindPages()
{
    OwnedDialogs search{m_processId, m_main, {}};
    ::EnumWindows(CollectOwnedDialogs, reinterpret_cast<LPARAM>(&search));
    RECT panel{};
    ::GetWindowRect(m_main, &panel);
    for (HWND page : search.found) {
        RECT rect{};
        ::GetWindowRect(page, &rect);
        for (size_t i = 0; i < static_cast<size_t>(Page::Count); ++i)
            if (rect.left - panel.left == kPageOffsets[i].x && rect.top - panel.top == kPageOffsets[i].y)
                m_pages[i] = page;
    }
}

bool Target::AllPagesFound() const
{
    for (HWND page : m_pages)
        if (page == nullptr)
            return false;
    return true;
}

bool Target::AllPagesVisible() const
{
    for (HWND page : m_pages)
        if (page == nullptr || !::IsWindowVisible(page))
            return false;
    return true;
}

bool Target::AnythingVisible() const
{
    if (MainVisible())
        return true;
    for (HWND page : m_pages)
        if (page != nullptr && ::IsWindowVisible(page))
            return true;
    return false;
}

int Target::UnixPid()
{
    if (m_unixPid == 0 && !m_tag.empty())
        m_unixPid = FindUnixProcess(m_tag);
    return m_unixPid;
}

bool Target::Ask(ObjectCounts& counts, bool objects, DWORD timeoutMs)
{
    const std::wstring requestName = objects ? CountRequestName(m_processId) : TimesRequestName(m_processId);
    HANDLE request = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, requestName.c_str());
    HANDLE ready = ::OpenEventW(SYNCHRONIZE, FALSE, CountReadyName(m_processId).c_str());
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, CountsMappingName(m_processId).c_str());
    bool answered = false;
    if (request != nullptr && ready != nullptr && mapping != nullptr) {
        ::SetEvent(request);
        if (::WaitForSingleObject(ready, timeoutMs) == WAIT_OBJECT_0) {
            if (const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(ObjectCounts))) {
                std::memcpy(&counts, view, sizeof(counts));
                ::UnmapViewOfFile(view);
                answered = counts.version == ObjectCounts::kVersion;
            }
        }
    }
    for (HANDLE handle : {request, ready, mapping})
        if (handle != nullptr)
            ::CloseHandle(handle);
    return answered;
}

bool Target::Close(DWORD timeoutMs)
{
    if (!Running())
        return true;
    if (m_main != nullptr)
        ::PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (::WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0)
        return true;
    ::TerminateProcess(m_process, 1);
    ::WaitForSingleObject(m_process, 5000);
    return false;
}
