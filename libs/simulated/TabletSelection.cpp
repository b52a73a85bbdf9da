// Picks the simulated tablet from the environment and keeps its file open while the variable holds.
#include "TabletSelection.h"

#include "ClosedLibraries.h"

#include <mutex>
#include <vector>

namespace tabvisor::simulated {
namespace {

std::wstring ReadVariable()
{
    wchar_t small[512];
    const DWORD length = GetEnvironmentVariableW(closed_libraries::kSimulatedTabletVariable, small, 512);
    if (length == 0) return {};
    if (length < 512) return std::wstring(small, length);
    std::vector<wchar_t> large(length);
    const DWORD written = GetEnvironmentVariableW(closed_libraries::kSimulatedTabletVariable, large.data(), length);
    return written > 0 && written < length ? std::wstring(large.data(), written) : std::wstring();
}

struct Selection {
    std::mutex guard;
    std::wstring variable;
    std::shared_ptr<SimulatedTablet> tablet;
};

Selection& CurrentSelection()
{
    static Selection selection;
    return selection;
}

} // namespace

std::wstring ResolveTabletPath(const std::wstring& value)
{
    if (value.empty() || value[0] != L'/') return value;
    using UnixToWindows = wchar_t*(__cdecl*)(const char*);
    const auto convert = reinterpret_cast<UnixToWindows>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!convert) return value;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unixPath(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, unixPath.data(), bytes, nullptr, nullptr);
    wchar_t* converted = convert(unixPath.c_str());
    if (!converted) return value;
    std::wstring result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::shared_ptr<SimulatedTablet> SimulatedTabletFromEnvironment()
{
    std::wstring variable = ReadVariable();
    Selection& selection = CurrentSelection();
    std::lock_guard lock(selection.guard);
    if (variable != selection.variable || (!selection.tablet && !variable.empty())) {
        selection.tablet = variable.empty() ? nullptr : std::make_shared<SimulatedTablet>(ResolveTabletPath(variable));
        selection.variable = std::move(variable);
    }
    return selection.tablet;
}

} // namespace tabvisor::simulated
