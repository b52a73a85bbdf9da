// What a counting build of a benchmarked program reports about itself, and the named objects
// through which the benchmark driver asks for it. Shared by the counter and the driver.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct ObjectCounts {
    static constexpr std::uint32_t kVersion = 1;
    std::uint32_t version = 0;
    // GDI objects of the process, from its GDI handle table, each confirmed by GetObjectType;
    // gdiTableUsable is 0 when the table was missing or not laid out as expected.
    std::uint32_t gdiTableUsable = 0;
    std::uint32_t gdiTotal = 0;
    std::uint32_t gdiDc = 0;       // DCs and memory DCs
    std::uint32_t gdiBitmap = 0;
    std::uint32_t gdiBrush = 0;
    std::uint32_t gdiPen = 0;
    std::uint32_t gdiFont = 0;
    std::uint32_t gdiRegion = 0;
    std::uint32_t gdiOther = 0;    // palettes, colour spaces, metafiles, ...
    // USER objects: the process's windows (top-level, child and message-only), and the menus and
    // icons/cursors found in the 16-bit USER handle space.
    std::uint32_t userTotal = 0;
    std::uint32_t userWindows = 0;
    std::uint32_t userMenus = 0;
    std::uint32_t userIcons = 0;
    // What GetGuiResources says (a stub answering 0 under Wine; real on Windows).
    std::uint32_t guiResourcesGdi = 0;
    std::uint32_t guiResourcesUser = 0;
    // GetProcessMemoryInfo on itself (Wine fills working set and page-file use, not private usage).
    std::uint64_t workingSet = 0;
    std::uint64_t pagefileUsage = 0;
    std::uint64_t privateUsage = 0;
    // GetProcessTimes on itself: kernel + user time so far, in 100 ns units. (Asked of another
    // process, Wine answers with the caller's own times, so the program reads its own.)
    std::uint64_t cpuTime100ns = 0;
    // Milliseconds the count took, for reading the figures.
    std::uint32_t countMs = 0;
};

// The driver sets a request event (a full count, or only the times and memory); the counter fills
// the mapping and sets the ready event.
inline std::wstring CounterObjectName(const wchar_t* what, DWORD processId)
{
    return std::wstring(L"Local\\TabvisorBench") + what + L"-" + std::to_wstring(processId);
}
inline std::wstring CountRequestName(DWORD processId) { return CounterObjectName(L"CountRequest", processId); }
inline std::wstring TimesRequestName(DWORD processId) { return CounterObjectName(L"TimesRequest", processId); }
inline std::wstring CountReadyName(DWORD processId) { return CounterObjectName(L"CountReady", processId); }
inline std::wstring CountsMappingName(DWORD processId) { return CounterObjectName(L"Counts", processId); }
