// Task Scheduler 2.0 calls that build and register the logon task.
#include "LogonTask.h"

#include "ComHandles.h"

#define SECURITY_WIN32
#include <security.h>
#include "LogonTriggerInterface.h"

#include <string>

namespace tabvisor::tasks {
namespace {

// A Task Scheduler that has not implemented a setting (Wine's lacks several) still gets the task;
// any other failure stops the registration.
HRESULT Tolerated(HRESULT result)
{
    return result == E_NOTIMPL ? S_OK : result;
}

// GetUserNameExW, from secur32.dll of the system folder, loaded only for this: a process that
// loads secur32 starts the system's security providers (under Wine with Kerberos and TLS
// libraries, about half a megabyte), and most processes that load this library register no task.
bool SamCompatibleUserName(wchar_t* name, ULONG& length)
{
    wchar_t folder[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryW(folder, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH) return false;
    const HMODULE secur32 =
        LoadLibraryExW((std::wstring(folder, folderLength) + L"\\secur32.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!secur32) return false;
    using GetUserNameExFunction = BOOLEAN(WINAPI*)(EXTENDED_NAME_FORMAT, LPWSTR, PULONG);
    const auto getUserNameEx =
        reinterpret_cast<GetUserNameExFunction>(reinterpret_cast<void*>(GetProcAddress(secur32, "GetUserNameExW")));
    const bool named = getUserNameEx && getUserNameEx(NameSamCompatible, name, &length);
    FreeLibrary(secur32);
    return named;
}

// The Task Scheduler wants the account as DOMAIN\user.
std::wstring CurrentUserAccount()
{
    wchar_t name[512];
    ULONG length = 512;
    if (SamCompatibleUserName(name, length)) return name;
    DWORD shortLength = 512;
    return GetUserNameW(name, &shortLength) ? std::wstring(name) : std::wstring();
}

HRESULT DescribeTask(ITaskDefinition* definition, const TaskRequest& request)
{
    afx::com_ptr<IRegistrationInfo> info;
    HRESULT result = definition->get_RegistrationInfo(info.put());
    if (FAILED(result)) return result;
    afx::unique_bstr author = afx::make_bstr(request.author.c_str());
    afx::unique_bstr description = afx::make_bstr(request.description.c_str());
    if (FAILED(result = Tolerated(info->put_Author(author.get())))) return result;
    return Tolerated(info->put_Description(description.get()));
}

HRESULT RunAsInteractiveUser(ITaskDefinition* definition, const std::wstring& account)
{
    afx::com_ptr<IPrincipal> principal;
    HRESULT result = definition->get_Principal(principal.put());
    if (FAILED(result)) return result;
    if (!account.empty()) {
        afx::unique_bstr user = afx::make_bstr(account.c_str());
        principal->put_UserId(user.get()); // optional: the logon type alone names the interactive user
    }
    if (FAILED(result = Tolerated(principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN)))) return result;
    return Tolerated(principal->put_RunLevel(TASK_RUNLEVEL_LUA));
}

HRESULT AllowLongRunsOnBattery(ITaskDefinition* definition)
{
    afx::com_ptr<ITaskSettings> settings;
    HRESULT result = definition->get_Settings(settings.put());
    if (FAILED(result)) return result;
    afx::unique_bstr unlimited = afx::make_bstr(L"PT0S");
    if (FAILED(result = Tolerated(settings->put_ExecutionTimeLimit(unlimited.get())))) return result;
    if (FAILED(result = Tolerated(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE)))) return result;
    if (FAILED(result = Tolerated(settings->put_StopIfGoingOnBatteries(VARIANT_FALSE)))) return result;
    return Tolerated(settings->put_Enabled(VARIANT_TRUE));
}

HRESULT StartAtLogon(ITaskDefinition* definition, const std::wstring& account)
{
    afx::com_ptr<ITriggerCollection> triggers;
    afx::com_ptr<ITrigger> trigger;
    HRESULT result = definition->get_Triggers(triggers.put());
    if (FAILED(result) || FAILED(result = Tolerated(triggers->Create(TASK_TRIGGER_LOGON, trigger.put())))) return result;
    // A logon trigger without a user would fire for everyone, which needs administrator rights.
    auto logon = trigger.query<ILogonTrigger>();
    if (logon && !account.empty()) {
        afx::unique_bstr user = afx::make_bstr(account.c_str());
        logon->put_UserId(user.get());
    }
    return S_OK;
}

HRESULT RunProgram(ITaskDefinition* definition, const std::wstring& program)
{
    afx::com_ptr<IActionCollection> actions;
    afx::com_ptr<IAction> action;
    HRESULT result = definition->get_Actions(actions.put());
    if (FAILED(result) || FAILED(result = Tolerated(actions->Create(TASK_ACTION_EXEC, action.put())))) return result;
    if (!action) return S_OK; // a scheduler without actions: the task keeps its name and description
    auto exec = action.query<IExecAction>();
    if (!exec) return E_NOINTERFACE;
    afx::unique_bstr path = afx::make_bstr(program.c_str());
    return exec->put_Path(path.get());
}

} // namespace

HRESULT RegisterLogonTask(const TaskRequest& request)
{
    afx::com_ptr<ITaskService> service;
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                      service.put_void());
    if (FAILED(result)) return result;
    afx::unique_variant none;
    if (FAILED(result = service->Connect(none.get(), none.get(), none.get(), none.get()))) return result;

    afx::com_ptr<ITaskFolder> root;
    afx::unique_bstr rootPath = afx::make_bstr(L"\\");
    if (FAILED(result = service->GetFolder(rootPath.get(), root.put()))) return result;
    afx::com_ptr<ITaskDefinition> definition;
    if (FAILED(result = service->NewTask(0, definition.put()))) return result;

    const std::wstring account = CurrentUserAccount();
    if (FAILED(result = DescribeTask(definition.get(), request))) return result;
    if (FAILED(result = RunAsInteractiveUser(definition.get(), account))) return result;
    if (FAILED(result = AllowLongRunsOnBattery(definition.get()))) return result;
    if (FAILED(result = StartAtLogon(definition.get(), account))) return result;
    if (FAILED(result = RunProgram(definition.get(), request.program))) return result;

    afx::unique_bstr name = afx::make_bstr(request.name.c_str());
    auto user = account.empty() ? afx::unique_variant() : afx::unique_variant::from_string(account.c_str());
    afx::unique_variant noPassword;
    afx::unique_variant noSecurityDescriptor = afx::unique_variant::from_string(L"");
    afx::com_ptr<IRegisteredTask> registered;
    return root->RegisterTaskDefinition(name.get(), definition.get(), TASK_CREATE_OR_UPDATE, user.get(),
                                        noPassword.get(), TASK_LOGON_INTERACTIVE_TOKEN,
                                        noSecurityDescriptor.get(), registered.put());
}

HRESULT RegisterLogonTaskPatiently(const TaskRequest& request)
{
    constexpr int kAttempts = 7;
    DWORD pauseMs = 250;
    HRESULT result = E_FAIL;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        result = RegisterLogonTask(request);
        if (SUCCEEDED(result) || result == E_INVALIDARG || result == E_ACCESSDENIED) return result;
        if (attempt < kAttempts) Sleep(pauseMs);
        pauseMs *= 2;
    }
    return result;
}

} // namespace tabvisor::tasks
