// The cross-process lock and the state file of a simulated tablet.
#include "TabletFile.h"

#include "TabletStateRules.h"

namespace tabvisor::simulated {
namespace {

constexpr wchar_t kLockName[] = L"Local\\TabvisorSimulatedTabletLock";
constexpr LONGLONG kStateSize = sizeof(TabletState);

// Opened once per process and kept: each use then costs a wait and a release, no open.
HANDLE ProcessWideMutex()
{
    static afx::unique_handle mutex(CreateMutexW(nullptr, FALSE, kLockName));
    return mutex.get();
}

afx::unique_hfile OpenStateFile(const std::wstring& path)
{
    return afx::unique_hfile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool FileSize(HANDLE file, LONGLONG& size)
{
    LARGE_INTEGER value{};
    if (!GetFileSizeEx(file, &value)) return false;
    size = value.QuadPart;
    return true;
}

// The whole state at the start of the file, in one call each way.
bool ReadState(HANDLE file, TabletState& state)
{
    OVERLAPPED at{};
    DWORD read = 0;
    return ReadFile(file, &state, sizeof state, &read, &at) && read == sizeof state;
}

bool WriteState(HANDLE file, const TabletState& state)
{
    OVERLAPPED at{};
    DWORD written = 0;
    return WriteFile(file, &state, sizeof state, &written, &at) && written == sizeof state;
}

} // namespace

TabletLock::TabletLock() : m_mutex(ProcessWideMutex())
{
    if (!m_mutex) return;
    const DWORD result = WaitForSingleObject(m_mutex, kTimeoutMs);
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

TabletLock::~TabletLock()
{
    if (m_held) ReleaseMutex(m_mutex);
}

TabletFile::FileCondition TabletFile::Condition() const
{
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(m_file.get(), FileStandardInfo, &info, sizeof info)) return FileCondition::Unknown;
    if (info.NumberOfLinks == 0 || info.DeletePending) return FileCondition::Gone;
    if (info.EndOfFile.QuadPart == 0) return FileCondition::Empty;
    if (info.EndOfFile.QuadPart < kStateSize) return FileCondition::Short;
    return FileCondition::Whole;
}

TabletProblem TabletFile::Load(const std::wstring& path, TabletState& state)
{
    if (m_file) {
        switch (Condition()) {
        case FileCondition::Unknown: return TabletProblem::CannotOpen;
        case FileCondition::Gone: m_file.reset(); break;
        case FileCondition::Empty:
        case FileCondition::Short: return TabletProblem::NotATablet;
        case FileCondition::Whole: return ReadState(m_file.get(), state) ? TabletProblem::None : TabletProblem::CannotOpen;
        }
    }
    afx::unique_hfile file = OpenStateFile(path);
    LONGLONG size = 0;
    if (!file || !FileSize(file.get(), size)) return TabletProblem::CannotOpen;
    if (size > 0 && size < kStateSize) return TabletProblem::NotATablet;
    m_file = std::move(file);
    if (size == 0) {
        MakeFreshTablet(state);
        return WriteState(m_file.get(), state) ? TabletProblem::None : TabletProblem::CannotOpen;
    }
    return ReadState(m_file.get(), state) ? TabletProblem::None : TabletProblem::CannotOpen;
}

TabletProblem TabletFile::Store(const TabletState& state)
{
    switch (Condition()) {
    case FileCondition::Unknown:
    case FileCondition::Gone: return TabletProblem::CannotOpen;
    case FileCondition::Empty:
    case FileCondition::Short: return TabletProblem::NotATablet;
    case FileCondition::Whole: break;
    }
    return WriteState(m_file.get(), state) ? TabletProblem::None : TabletProblem::CannotOpen;
}

TabletProblem TabletFile::Reset(const std::wstring& path, TabletState& state)
{
    m_file = OpenStateFile(path);
    if (!m_file) return TabletProblem::CannotOpen;
    MakeFreshTablet(state);
    return WriteState(m_file.get(), state) ? TabletProblem::None : TabletProblem::CannotOpen;
}

} // namespace tabvisor::simulated
