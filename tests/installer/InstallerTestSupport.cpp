// Running setups and uninstallers to their end, reading what they leave, and cleaning it away.
#include "InstallerTestSupport.h"

#include <bcrypt.h>
#include <taskschd.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "ComHandles.h"

namespace installer_test {
namespace {

using unique_hkey = afx::unique_any<afx::handle_traits<HKEY, &::RegCloseKey>>;
void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) { ::BCryptCloseAlgorithmProvider(algorithm, 0); }
using unique_algorithm = afx::unique_any<afx::handle_traits<BCRYPT_ALG_HANDLE, &CloseAlgorithm>>;
using unique_hash = afx::unique_any<afx::handle_traits<BCRYPT_HASH_HANDLE, &::BCryptDestroyHash>>;

constexpr const wchar_t* kInstalledFiles[] = {L"Tabvisor.exe", L"WINIO.dll", L"PM.dll", L"common.dll", L"Uninstall.exe"};
// What a setup leaves beside a file while it puts it in place.
constexpr const wchar_t* kSetupSuffixes[] = {L"", L".setup-new", L".setup-old"};

afx::com_ptr<ITaskService> TaskService()
{
    afx::com_ptr<ITaskService> service;
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.put_void())))
        return {};
    // Two clients that start the Schedule service at the same moment both fail; a retry succeeds.
    afx::unique_variant none;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (SUCCEEDED(service->Connect(none.get(), none.get(), none.get(), none.get())))
            return service;
        ::Sleep(250);
    }
    return {};
}

afx::com_ptr<ITaskFolder> TaskRoot(const afx::com_ptr<ITaskService>& service)
{
    afx::com_ptr<ITaskFolder> root;
    afx::unique_bstr path = afx::make_bstr(L"\\");
    if (!service || FAILED(service->GetFolder(path.get(), root.put())))
        return {};
    return root;
}

// COM for the calling thread while it talks to the Task Scheduler.
class ComScope {
public:
    ComScope() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

void DeleteBootTask()
{
    ComScope com;
    if (afx::com_ptr<ITaskFolder> root = TaskRoot(TaskService())) {
        afx::unique_bstr name = afx::make_bstr(L"Tabvisor");
        root->DeleteTask(name.get(), 0);
    }
}

void SetUninstallValue(const wchar_t* name, DWORD type, const void* data, size_t size)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return;
    unique_hkey owner(key);
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

unique_hkey OpenUninstallKey()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return {};
    return unique_hkey(key);
}

afx::unique_handle StartProcess(const std::wstring& commandLine, HANDLE job, DWORD* processId)
{
    std::wstring command = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &process))
        return {};
    // In the job before it runs, so everything it starts is in the job too.
    if (job != nullptr)
        ::AssignProcessToJobObject(job, process.hProcess);
    ::ResumeThread(process.hThread);
    ::CloseHandle(process.hThread);
    if (processId != nullptr)
        *processId = process.dwProcessId;
    return afx::unique_handle(process.hProcess);
}

DWORD ActiveProcesses(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return 0;
    return info.ActiveProcesses;
}


// An NSIS uninstaller works from a copy of itself in a temporary folder (~nsu*.tmp) that it can
// only ask to be deleted at the next restart.
void RemoveUninstallerCopies()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"~nsu*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring copyFolder = folder + found.cFileName;
        ::DeleteFileW((copyFolder + L"\\Au_.exe").c_str());
        ::RemoveDirectoryW(copyFolder.c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

std::wstring InstalledPath(const std::wstring& file) { return std::wstring(kInstallFolder) + L"\\" + file; }

std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// TABVISOR_X64_TREE: the x64 tree, relative to BuildFolder().
std::wstring SetupPath() { return BuildFolder() + TABVISOR_X64_TREE L"\\bin\\Tabvisor-setup.exe"; }

std::wstring PackedPath(const std::wstring& file, Arch arch)
{
    return BuildFolder() + TABVISOR_X64_TREE L"\\installer\\stage\\" + (arch == Arch::X64 ? L"x64\\" : L"x86\\") + file;
}

std::wstring SimulatedLibraryPath(const std::wstring& file, Arch arch)
{
    return BuildFolder() + TABVISOR_X64_TREE + (arch == Arch::X64 ? L"\\bin\\" : L"\\..\\x86\\bin\\") + file;
}

Arch WindowsArch()
{
    BOOL wow64 = FALSE;
    if (sizeof(void*) == 8 || (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64))
        return Arch::X64;
    return Arch::X86;
}

std::optional<Arch> MachineOf(const std::wstring& path)
{
    const std::vector<char> bytes = ReadBytes(path);
    auto at = [&](size_t offset, size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size && offset + i < bytes.size(); ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
        return value;
    };
    if (bytes.size() < 0x40 || at(0, 2) != 0x5A4D)
        return std::nullopt;
    const size_t header = at(0x3C, 4);
    if (header + 6 > bytes.size() || at(header, 4) != 0x00004550)
        return std::nullopt;
    switch (at(header + 4, 2)) {
    case 0x014C: return Arch::X86;
    case 0x8664: return Arch::X64;
    default: return std::nullopt;
    }
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<char> ReadBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::vector<char>& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

std::vector<std::wstring> FolderContents(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<FILETIME> LastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data.ftLastWriteTime;
}

bool SetLastWriteTime(const std::wstring& path, const FILETIME& time)
{
    afx::unique_hfile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &time);
}

std::wstring Sha256Of(const std::wstring& path)
{
    if (!FileExists(path))
        return {};
    const std::vector<char> bytes = ReadBytes(path);
    unique_algorithm algorithm;
    unique_hash hash;
    unsigned char digest[32] = {};
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(::BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0)) ||
        !BCRYPT_SUCCESS(::BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                         static_cast<ULONG>(bytes.size()), 0)) ||
        !BCRYPT_SUCCESS(::BCryptFinishHash(hash.get(), digest, sizeof digest, 0)))
        return {};
    std::wstring hex;
    for (unsigned char byte : digest) {
        hex += L"0123456789abcdef"[byte >> 4];
        hex += L"0123456789abcdef"[byte & 15];
    }
    return hex;
}


std::optional<DWORD> RunToTheEnd(const std::wstring& commandLine, DWORD timeoutMs)
{
    afx::unique_handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return std::nullopt;
    afx::unique_handle process = StartProcess(commandLine, job.get(), nullptr);
    if (!process)
        return std::nullopt;
    const bool ended = ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0 &&
                       WaitFor([&] { return ActiveProcesses(job.get()) == 0; }, timeoutMs);
    if (!ended) {
        ::TerminateJobObject(job.get(), 1);
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

std::optional<DWORD> RunSetupSilently() { return RunToTheEnd(L"\"" + SetupPath() + L"\" /S"); }

std::optional<std::wstring> UninstallValue(const wchar_t* name)
{
    unique_hkey key = OpenUninstallKey();
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (!key || ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(value);
}

bool UninstallEntryExists() { return static_cast<bool>(OpenUninstallKey()); }

void MarkInstalledBySetup(const wchar_t* file)
{
    const std::wstring fingerprint = Sha256Of(InstalledPath(file));
    SetUninstallValue((std::wstring(L"Installed ") + file).c_str(), REG_SZ, fingerprint.c_str(),
                      (fingerprint.size() + 1) * sizeof(wchar_t));
}

void MarkInstalledByEarlierSetup(const wchar_t* file)
{
    const DWORD one = 1;
    SetUninstallValue((std::wstring(L"Installed ") + file).c_str(), REG_DWORD, &one, sizeof one);
}

HRESULT RegisterBootTask()
{
    ComScope com;
    afx::com_ptr<ITaskService> service = TaskService();
    afx::com_ptr<ITaskFolder> root = TaskRoot(service);
    afx::com_ptr<ITaskDefinition> definition;
    HRESULT result = E_FAIL;
    if (!root || FAILED(result = service->NewTask(0, definition.put())))
        return result;
    afx::com_ptr<IRegistrationInfo> info;
    if (FAILED(result = definition->get_RegistrationInfo(info.put())))
        return result;
    afx::unique_bstr author = afx::make_bstr(L"Quorvanta");
    info->put_Author(author.get());
    afx::com_ptr<IActionCollection> actions;
    afx::com_ptr<IAction> action;
    if (SUCCEEDED(definition->get_Actions(actions.put())) && SUCCEEDED(actions->Create(TASK_ACTION_EXEC, action.put())) &&
        action) {
        if (auto exec = action.query<IExecAction>()) {
            afx::unique_bstr program = afx::make_bstr(InstalledPath(L"Tabvisor.exe").c_str());
            exec->put_Path(program.get());
        }
    }
    afx::unique_bstr name = afx::make_bstr(L"Tabvisor");
    afx::unique_variant none;
    afx::com_ptr<IRegisteredTask> task;
    return root->RegisterTaskDefinition(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, none.get(), none.get(),
                                        TASK_LOGON_INTERACTIVE_TOKEN, none.get(), task.put());
}

bool BootTaskExists()
{
    ComScope com;
    afx::com_ptr<ITaskFolder> root = TaskRoot(TaskService());
    afx::com_ptr<IRegisteredTask> task;
    afx::unique_bstr name = afx::make_bstr(L"\\Tabvisor");
    return root && SUCCEEDED(root->GetTask(name.get(), task.put())) && task;
}

InstalledProgram::InstalledProgram()
{
    m_process = StartProcess(L"\"" + InstalledPath(L"Tabvisor.exe") + L"\"", nullptr, &m_processId);
    if (!m_process)
        return;
    m_panel = WaitForWaitingPanel(m_processId);
}

InstalledProgram::~InstalledProgram()
{
    if (Running() && !Close())
        ::TerminateProcess(m_process.get(), 1);
}

bool InstalledProgram::Running() const { return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> InstalledProgram::WaitForEnd(DWORD timeoutMs)
{
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::optional<DWORD> InstalledProgram::Close()
{
    if (m_panel != nullptr)
        ::PostMessageW(m_panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForEnd(10000);
}

std::wstring ParentProgramOf(DWORD processId)
{
    afx::unique_handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE)
        return {};
    auto find = [&](DWORD id) {
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
            if (entry.th32ProcessID == id)
                return std::optional<PROCESSENTRY32W>(entry);
        return std::optional<PROCESSENTRY32W>();
    };
    const auto child = find(processId);
    const auto parent = child ? find(child->th32ParentProcessID) : std::nullopt;
    if (!parent)
        return {};
    std::wstring name = parent->szExeFile;
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(::towlower(c));
    return name.substr(name.find_last_of(L"\\/") + 1);
}

void PressHotkey() { RunToTheEnd(L"\"" + BuildFolder() + L"\\tabsim.exe\" key hotkey", 30000); }

void RemoveEverything()
{
    if (FileExists(InstalledPath(L"Uninstall.exe")))
        RunToTheEnd(L"\"" + InstalledPath(L"Uninstall.exe") + L"\" /S");
    for (const wchar_t* file : kInstalledFiles) {
        for (const wchar_t* suffix : kSetupSuffixes)
            ::DeleteFileW(InstalledPath(std::wstring(file) + suffix).c_str());
        // A test's folder in a file's place.
        ::RemoveDirectoryW(InstalledPath(file).c_str());
    }
    ::RemoveDirectoryW(kInstallFolder);
    // A test's file in the folder's place.
    ::DeleteFileW(kInstallFolder);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
    DeleteBootTask();
    RemoveUninstallerCopies();
}

} // namespace installer_test
