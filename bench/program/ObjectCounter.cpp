// Linked only into the counting builds of the benchmarked programs: a thread that sleeps until
// the benchmark driver asks, then counts the process's own GDI and USER objects and reads its
// memory figures. Wine's GetGuiResources answers 0, so the objects are counted directly:
// - GDI: every live entry of the process's GDI handle table (the table the PEB points to, laid out
//   alike on Windows and Wine), confirmed by GetObjectType on the handle rebuilt from the entry;
// - USER: the process's windows by enumeration (top-level, children, message-only), and menus and
//   icons/cursors by trying every 16-bit USER handle value (both systems accept a handle's low word).
// It also reads the process's CPU time with GetProcessTimes, which Wine answers truly only for the
// calling process. The thread waits on two events and wakes for nothing else, so it adds no
// wake-ups to idle figures.
#include "ObjectCounts.h"

#include <psapi.h>
#include <winternl.h>

#include <cstring>

namespace {

// One GDI handle table entry: 24 bytes; the owner process in bytes 8..11, the handle's upper word
// at 12, the object type at 14.
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiUpperOffset = 12;
constexpr size_t kGdiTypeOffset = 14;
constexpr unsigned kGdiEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8;  // x64 PEB: GdiSharedHandleTable

const unsigned char* GdiTable()
{
    PROCESS_BASIC_INFORMATION basic{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        basic.PebBaseAddress == nullptr)
        return nullptr;
    const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    const void* table = nullptr;
    std::memcpy(&table, peb + kPebGdiTableOffset, sizeof(table));
    return static_cast<const unsigned char*>(table);
}

HGDIOBJ HandleOfEntry(const unsigned char* table, unsigned index)
{
    USHORT upper = 0;
    std::memcpy(&upper, table + index * kGdiEntrySize + kGdiUpperOffset, sizeof(upper));
    return reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index) | (static_cast<ULONG_PTR>(upper) << 16));
}

// The table is trusted only if a stock object sits where its handle says, with the same handle.
bool GdiTableUsable(const unsigned char* table)
{
    if (table == nullptr)
        return false;
    const auto stock = reinterpret_cast<ULONG_PTR>(::GetStockObject(WHITE_BRUSH));
    return HandleOfEntry(table, static_cast<unsigned>(stock & 0xFFFF)) == reinterpret_cast<HGDIOBJ>(stock);
}

void CountGdi(ObjectCounts& counts)
{
    const unsigned char* table = GdiTable();
    counts.gdiTableUsable = GdiTableUsable(table) ? 1 : 0;
    if (counts.gdiTableUsable == 0)
        return;
    for (unsigned index = 1; index < kGdiEntries; ++index) {
        if (table[index * kGdiEntrySize + kGdiTypeOffset] == 0)
            continue;
        switch (::GetObjectType(HandleOfEntry(table, index))) {
        case 0:
            continue;  // freed meanwhile, or not an object after all
        case OBJ_DC:
        case OBJ_MEMDC:
        case OBJ_METADC:
        case OBJ_ENHMETADC:
            ++counts.gdiDc;
            break;
        case OBJ_BITMAP:
            ++counts.gdiBitmap;
            break;
        case OBJ_BRUSH:
            ++counts.gdiBrush;
            break;
        case OBJ_PEN:
        case OBJ_EXTPEN:
            ++counts.gdiPen;
            break;
        case OBJ_FONT:
            ++counts.gdiFont;
            break;
        case OBJ_REGION:
            ++counts.gdiRegion;
            break;
        default:
            ++counts.gdiOther;
            break;
        }
        ++counts.gdiTotal;
    }
}

bool Ours(HWND hwnd)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    return processId == ::GetCurrentProcessId();
}

BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    ++*reinterpret_cast<std::uint32_t*>(param);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param)
{
    if (Ours(hwnd)) {
        ++*reinterpret_cast<std::uint32_t*>(param);
        ::EnumChildWindows(hwnd, CountChild, param);  // all descendants
    }
    return TRUE;
}

void CountUser(ObjectCounts& counts)
{
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counts.userWindows));
    for (HWND hwnd = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd != nullptr;
         hwnd = ::FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr))
        CountTopLevel(hwnd, reinterpret_cast<LPARAM>(&counts.userWindows));
    for (ULONG_PTR value = 1; value <= 0xFFFF; ++value) {
        if (::IsMenu(reinterpret_cast<HMENU>(value))) {
            ++counts.userMenus;
            continue;
        }
        // GetIconInfo hands out copies of the icon's bitmaps; they go at once, and GDI was
        // counted before.
        ICONINFO info{};
        if (::GetIconInfo(reinterpret_cast<HICON>(value), &info)) {
            ++counts.userIcons;
            if (info.hbmColor != nullptr)
                ::DeleteObject(info.hbmColor);
            if (info.hbmMask != nullptr)
                ::DeleteObject(info.hbmMask);
        }
    }
    counts.userTotal = counts.userWindows + counts.userMenus + counts.userIcons;
}

void CountMemory(ObjectCounts& counts)
{
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory))) {
        counts.workingSet = memory.WorkingSetSize;
        counts.pagefileUsage = memory.PagefileUsage;
        counts.privateUsage = memory.PrivateUsage;
    }
}

void CountTimes(ObjectCounts& counts)
{
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        const auto value = [](const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        counts.cpuTime100ns = value(kernel) + value(user);
    }
}

ObjectCounts CountNow(bool objects)
{
    const ULONGLONG start = ::GetTickCount64();
    ObjectCounts counts;
    counts.version = ObjectCounts::kVersion;
    CountTimes(counts);
    CountMemory(counts);  // first, before the count's own temporary objects
    if (!objects)
        return counts;
    counts.guiResourcesGdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    counts.guiResourcesUser = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    CountGdi(counts);
    CountUser(counts);
    counts.countMs = static_cast<std::uint32_t>(::GetTickCount64() - start);
    return counts;
}

DWORD WINAPI CounterThread(void*)
{
    const DWORD self = ::GetCurrentProcessId();
    HANDLE request = ::CreateEventW(nullptr, FALSE, FALSE, CountRequestName(self).c_str());
    HANDLE timesRequest = ::CreateEventW(nullptr, FALSE, FALSE, TimesRequestName(self).c_str());
    HANDLE ready = ::CreateEventW(nullptr, FALSE, FALSE, CountReadyName(self).c_str());
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ObjectCounts),
                                          CountsMappingName(self).c_str());
    void* view = mapping != nullptr ? ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ObjectCounts)) : nullptr;
    if (request == nullptr || timesRequest == nullptr || ready == nullptr || view == nullptr)
        return 1;
    // The handles live as long as the process: the thread ends with it.
    const HANDLE requests[2] = {request, timesRequest};
    for (;;) {
        const DWORD which = ::WaitForMultipleObjects(2, requests, FALSE, INFINITE);
        if (which != WAIT_OBJECT_0 && which != WAIT_OBJECT_0 + 1)
            return 1;
        const ObjectCounts counts = CountNow(which == WAIT_OBJECT_0);
        std::memcpy(view, &counts, sizeof(counts));
        ::SetEvent(ready);
    }
}

// Started before the program's own code runs.
const bool g_counterStarted = [] {
    HANDLE thread = ::CreateThread(nullptr, 64 * 1024, CounterThread, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr)
        return false;
    ::CloseHandle(thread);
    return true;
}();

} // namespace
