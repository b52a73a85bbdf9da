// The vectored exception handler behind GuardView, and the registry of guarded views it consults.
#include "CutFileGuard.h"

#include "TabletState.h"
#include "TabletStateRules.h"

namespace tabvisor::simulated {
namespace {

// A process maps a handful of tablets at most (one per library, plus tabsim's or a test's).
constexpr size_t kMaxGuardedViews = 16;

struct GuardedView {
    char* base = nullptr;
    size_t size = 0;
    HANDLE file = nullptr;
};

SRWLOCK g_lock = SRWLOCK_INIT;
GuardedView g_views[kMaxGuardedViews];
size_t g_guarded = 0;
void* g_handler = nullptr;

bool FileShorterThan(HANDLE file, size_t size)
{
    LARGE_INTEGER length{};
    return GetFileSizeEx(file, &length) && length.QuadPart < static_cast<LONGLONG>(size);
}

LONG CALLBACK OnFault(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if ((record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION && record->ExceptionCode != EXCEPTION_IN_PAGE_ERROR) ||
        record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto* address = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    AcquireSRWLockShared(&g_lock);
    GuardedView hit;
    for (const GuardedView& view : g_views)
        if (view.base != nullptr && address >= view.base && address < view.base + view.size) hit = view;
    ReleaseSRWLockShared(&g_lock);
    // Any other fault, and one in a view whose file is whole, is none of ours.
    if (hit.base == nullptr || !FileShorterThan(hit.file, hit.size) ||
        !Lengthen(hit.file, static_cast<LONGLONG>(hit.size)))
        return EXCEPTION_CONTINUE_SEARCH;
    MakeFreshTablet(*reinterpret_cast<TabletState*>(hit.base));
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

void GuardView(void* base, size_t size, HANDLE file)
{
    AcquireSRWLockExclusive(&g_lock);
    for (GuardedView& view : g_views) {
        if (view.base != nullptr) continue;
        view = GuardedView{static_cast<char*>(base), size, file};
        if (g_guarded++ == 0) g_handler = AddVectoredExceptionHandler(1, OnFault);
        break;
    }
    ReleaseSRWLockExclusive(&g_lock);
}

void UnguardView(void* base)
{
    AcquireSRWLockExclusive(&g_lock);
    for (GuardedView& view : g_views) {
        if (view.base != base || base == nullptr) continue;
        view = GuardedView{};
        // The handler goes with the last view: a library unloaded later must leave none behind.
        if (--g_guarded == 0 && g_handler != nullptr) {
            RemoveVectoredExceptionHandler(g_handler);
            g_handler = nullptr;
        }
        break;
    }
    ReleaseSRWLockExclusive(&g_lock);
}

bool Lengthen(HANDLE file, LONGLONG size)
{
    LARGE_INTEGER target{};
    target.QuadPart = size;
    return SetFilePointerEx(file, target, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

} // namespace tabvisor::simulated
