// StartAsUser.exe: the setup's helper that starts Tabvisor as the user logged on to the desktop.
// The setup runs elevated; a program it starts directly would run elevated too, as the
// administrator who approved the setup, and would register its logon task for that account.
//   StartAsUser.exe PROGRAM      exit code 0 when PROGRAM was started, 1 when it could not be
//                                started unelevated (it is then not started at all), 2 on bad use
#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "ComHandles.h"
#include "Handles.h"


namespace {

bool RunsElevated()
{
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened))
        return false;
    const afx::unique_handle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

std::wstring FolderOf(const std::wstring& program)
{
    const size_t slash = program.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : program.substr(0, slash);
}

bool StartDirectly(const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::wstring folder = FolderOf(program);
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

// The desktop's shell runs as the logged-on user without elevation; asking its folder view to
// open the program starts it there.
bool StartThroughDesktopShell(const std::wstring& program)
{
    afx::com_ptr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  windows.put_void())))
        return false;
    VARIANT desktop{};
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT empty{};
    long hwnd = 0;
    afx::com_ptr<IDispatch> found;
    if (windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, found.put()) != S_OK ||
        !found)
        return false;
    afx::com_ptr<IServiceProvider> services;
    afx::com_ptr<IShellBrowser> browser;
    afx::com_ptr<IShellView> view;
    afx::com_ptr<IDispatch> background;
    afx::com_ptr<IShellFolderViewDual> folderView;
    afx::com_ptr<IDispatch> application;
    afx::com_ptr<IShellDispatch2> shell;
    if (FAILED(found->QueryInterface(IID_IServiceProvider, services.put_void())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) ||
        FAILED(browser->QueryActiveShellView(view.put())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) ||
        FAILED(folderView->get_Application(application.put())) ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())))
        return false;

    const afx::unique_bstr file = afx::make_bstr(program.c_str());
    const afx::unique_variant directory = afx::unique_variant::from_string(FolderOf(program).c_str());
    const afx::unique_variant verb = afx::unique_variant::from_string(L"open");
    VARIANT arguments{};
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(shell->ShellExecute(file.get(), arguments, directory.get(), verb.get(), show));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 || argv[1][0] == L'\0')
        return 2;
    const std::wstring program = argv[1];
    if (!RunsElevated())
        return StartDirectly(program) ? 0 : 1;

    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The desktop's shell may still be starting (a setup run at logon): it gets ten seconds.
    bool started = StartThroughDesktopShell(program);
    for (int attempt = 0; !started && attempt < 40; ++attempt) {
        ::Sleep(250);
        started = StartThroughDesktopShell(program);
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return started ? 0 : 1;
}
