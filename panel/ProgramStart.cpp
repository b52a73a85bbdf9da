// Starting a program by its full path through the shell, past WOW64's redirection of the system
// folder.
#include "ProgramStart.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>

#include "Handles.h"
#include "ModulePaths.h"
#include "Trace.h"

namespace {

bool RunsUnderWow64()
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return !folder.empty() && path.size() > folder.size() && path[folder.size()] == L'\\' &&
           ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                  static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

struct StartRequest {
    std::wstring program;
    int show;
};

DWORD WINAPI StartOnItsThread(void* parameter)
{
    const std::unique_ptr<StartRequest> request(static_cast<StartRequest*>(parameter));
    StartProgram(request->program, request->show);
    return 0;
}

} // namespace

std::wstring NativeSystemPath(const std::wstring& path)
{
    if (!RunsUnderWow64())
        return path;
    const std::wstring system = afx::SystemFolder();
    const std::wstring windows = afx::WindowsFolder();
    if (windows.empty() || !StartsWithFolder(path, system))
        return path;
    return windows + L"\\Sysnative" + path.substr(system.size());
}

bool StartProgram(const std::wstring& program, int show)
{
    // Some of the shell's handlers are COM objects that want a single-threaded apartment; this
    // thread gets one for the call unless it has an apartment already.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring file = L"\"" + NativeSystemPath(program) + L"\"";
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error boxes (there is no window of ours to own them), and done before the apartment goes.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = nullptr;
    info.lpFile = file.c_str();
    info.nShow = show;
    const bool started = ::ShellExecuteExW(&info) != FALSE;
    if (!started)
        afx::Trace(L"the shell did not start %ls, error %lu", file.c_str(), ::GetLastError());
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return started;
}

void StartProgramInBackground(const std::wstring& program, int show)
{
    auto request = std::make_unique<StartRequest>(StartRequest{program, show});
    afx::unique_handle thread(::CreateThread(nullptr, 0, StartOnItsThread, request.get(), 0, nullptr));
    if (thread)
        request.release();
    else
        afx::Trace(L"no thread to start %ls, error %lu", program.c_str(), ::GetLastError());
}
