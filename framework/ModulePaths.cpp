// The program's and the system's folders, and loading libraries from them by full path.
#include "ModulePaths.h"

namespace afx {

namespace {

bool HasFolder(const wchar_t* file) { return wcspbrk(file, L"\\/:") != nullptr; }

std::wstring Joined(const std::wstring& folder, const wchar_t* file) { return folder + L"\\" + file; }

// A folder that the system answers into a MAX_PATH buffer; empty when it cannot.
template <UINT (WINAPI* Query)(LPWSTR, UINT)>
std::wstring FixedFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT length = Query(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

} // namespace

std::wstring ProgramFolder()
{
    // The path may be longer than MAX_PATH; the buffer grows until it holds it.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring SystemFolder() { return FixedFolder<::GetSystemDirectoryW>(); }

std::wstring WindowsFolder() { return FixedFolder<::GetSystemWindowsDirectoryW>(); }

HMODULE LoadProgramLibrary(const wchar_t* file)
{
    if (HasFolder(file))
        return ::LoadLibraryExW(file, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const std::wstring folder = ProgramFolder();
    if (folder.empty())
        return nullptr;
    return ::LoadLibraryExW(Joined(folder, file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemLibrary(const wchar_t* file)
{
    const std::wstring folder = SystemFolder();
    if (folder.empty())
        return nullptr;
    return ::LoadLibraryExW(Joined(folder, file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RemoveWorkingFolderFromLibrarySearch() { ::SetDllDirectoryW(L""); }

} // namespace afx
