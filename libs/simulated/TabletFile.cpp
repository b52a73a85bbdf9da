// The cross-process lock and the shared mapping of a simulated tablet's state file.
#include "TabletFile.h"

#include "CutFileGuard.h"
#include "TabletStateRules.h"

namespace tabvisor::simulated {
namespace {

constexpr wchar_t kLockName[] = L"Local\\TabvisorSimulatedTabletLock";

// Opened once per process and kept: each use then costs a wait and a release, no open.
HANDLE ProcessWideMutex()
{
    static UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kLockName));
    return mutex.Get();
}

UniqueHandle OpenStateFile(const std::wstring& path)
{
    return UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
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

} // namespace

TabletLock::TabletLock() : m_mutex(ProcessWideMutex())
{
    if (!m_mutex) return;
    const DWORD result = WaitForSingleObject(m_mutex, kTimeoutMs);
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    m_abandoned = result == WAIT_ABANDONED;
}

TabletLock::~TabletLock()
{
    if (m_held) ReleaseMutex(m_mutex);
}

TabletProblem TabletMapping::Open(const std::wstring& path)
{
    UniqueHandle file = OpenStateFile(path);
    LONGLONG size = 0;
    if (!file || !FileSize(file.Get(), size)) return TabletProblem::CannotOpen;
    if (size == 0) {
        if (!Lengthen(file.Get(), sizeof(TabletState))) return TabletProblem::CannotOpen;
        const TabletProblem problem = Map(std::move(file));
        if (problem == TabletProblem::None) MakeFreshTablet(State());
        return problem;
    }
    if (size < static_cast<LONGLONG>(sizeof(TabletState))) return TabletProblem::NotATablet;
    return Map(std::move(file));
}

TabletProblem TabletMapping::Reset(const std::wstring& path)
{
    Unmap();
    UniqueHandle file = OpenStateFile(path);
    LONGLONG size = 0;
    if (!file || !FileSize(file.Get(), size)) return TabletProblem::CannotOpen;
    if (size < static_cast<LONGLONG>(sizeof(TabletState)) && !Lengthen(file.Get(), sizeof(TabletState)))
        return TabletProblem::CannotOpen;
    const TabletProblem problem = Map(std::move(file));
    if (problem == TabletProblem::None) MakeFreshTablet(State());
    return problem;
}

TabletMapping::FileCondition TabletMapping::Condition() const
{
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(m_file.Get(), FileStandardInfo, &info, sizeof info)) return FileCondition::Unknown;
    if (info.NumberOfLinks == 0 || info.DeletePending) return FileCondition::Gone;
    if (info.EndOfFile.QuadPart == 0) return FileCondition::Empty;
    // The pages past the end are gone: touching them would fault.
    if (info.EndOfFile.QuadPart < static_cast<LONGLONG>(sizeof(TabletState))) return FileCondition::Short;
    return FileCondition::Whole;
}

TabletProblem TabletMapping::Revalidate(const std::wstring& path)
{
    switch (Condition()) {
    case FileCondition::Unknown: return TabletProblem::CannotOpen;
    case FileCondition::Gone:
        Unmap();
        return Open(path);
    case FileCondition::Empty:
        if (!Lengthen(m_file.Get(), sizeof(TabletState))) return TabletProblem::CannotOpen;
        MakeFreshTablet(State());
        return TabletProblem::None;
    case FileCondition::Short: return TabletProblem::NotATablet;
    case FileCondition::Whole: break;
    }
    return TabletProblem::None;
}

bool TabletMapping::StillWhole() const { return Condition() == FileCondition::Whole; }

TabletProblem TabletMapping::Map(UniqueHandle file)
{
    UniqueHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READWRITE, 0, 0, nullptr));
    if (!mapping) return TabletProblem::CannotOpen;
    m_view = MappedView(MapViewOfFile(mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(TabletState)));
    if (!m_view) return TabletProblem::CannotOpen;
    m_file = std::move(file);
    GuardView(m_view.Get(), sizeof(TabletState), m_file.Get());
    return TabletProblem::None;
}

void TabletMapping::Unmap()
{
    if (m_view) UnguardView(m_view.Get());
    m_view.Reset();
    m_file.Reset();
}

} // namespace tabvisor::simulated
