// Task Scheduler 2.0 calls that build and register the logon task.
#include "LogonTask.h"

#include "ComPtr.h"
#include "OleValues.h"

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
    ComPtr<IRegistrationInfo> info;
    HRESULT result = definition->get_RegistrationInfo(info.Put());
    if (FAILED(result)) return result;
    UniqueBstr author(request.author.c_str());
    UniqueBstr description(request.description.c_str());
    if (FAILED(result = Tolerated(info->put_Author(author.Get())))) return result;
    return Tolerated(info->put_Description(description.Get()));
}

HRESULT RunAsInteractiveUser(ITaskDefinition* definition, const std::wstring& account)
{
    ComPtr<IPrincipal> principal;
    HRESULT result = definition->get_Principal(principal.Put());
    if (FAILED(result)) return result;
    if (!account.empty()) {
        UniqueBstr user(account.c_str());
        principal->put_UserId(user.Get()); // optional: the logon type alone names the interactive user
    }
    if (FAILED(result = Tolerated(principal->put_LogonType(TASK_LOGON_INTERACTIVE_TOKEN)))) return result;
    return Tolerated(principal->put_RunLevel(TASK_RUNLEVEL_LUA));
}

HRESULT AllowLongRunsOnBattery(ITaskDefinition* definition)
{
    ComPtr<ITaskSettings> settings;
    HRESULT result = definition->get_Settings(settings.Put());
    if (FAILED(result)) return result;
    UniqueBstr unlimited(L"PT0S");
    if (FAILED(result = Tolerated(settings->put_ExecutionTimeLimit(unlimited.Get())))) return result;
    if (FAILED(result = Tolerated(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE)))) return result;
    if (FAILED(result = Tolerated(settings->put_StopIfGoingOnBatteries(VARIANT_FALSE)))) return result;
    return Tolerated(settings->put_Enabled(VARIANT_TRUE));
}

HRESULT StartAtLogon(ITaskDefinition* definition, const std::wstring& account)
{
    ComPtr<ITriggerCollection> triggers;
    ComPtr<ITrigger> trigger;
    HRESULT result = definition->get_Triggers(triggers.Put());
    if (FAILED(result) || FAILED(result = Tolerated(triggers->Create(TASK_TRIGGER_LOGON, trigger.Put())))) return result;
    // A logon trigger without a user would fire for everyone, which needs administrator rights.
    auto logon = trigger.As<ILogonTrigger>();
    if (logon && !account.empty()) {
        UniqueBstr user(account.c_str());
        logon->put_UserId(user.Get());
    }
    return S_OK;
}

HRESULT RunProgram(ITaskDefinition* definition, const std::wstring& program)
{
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    HRESULT result = definition->get_Actions(actions.Put());
    if (FAILED(result) || FAILED(result = Tolerated(actions->Create(TASK_ACTION_EXEC, action.Put())))) return result;
    if (!action) return S_OK; // a scheduler without actions: the task keeps its name and description
    auto exec = action.As<IExecAction>();
    if (!exec) return E_NOINTERFACE;
    UniqueBstr path(program.c_str());
    return exec->put_Path(path.Get());
}

} // namespace

HRESULT RegisterLogonTask(const TaskRequest& request)
{
    ComPtr<ITaskService> service;
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                      service.PutVoid());
    if (FAILED(result)) return result;
    UniqueVariant none;
    if (FAILED(result = service->Connect(none.Get(), none.Get(), none.Get(), none.Get()))) return result;

    ComPtr<ITaskFolder> root;
    UniqueBstr rootPath(L"\\");
    if (FAILED(result = service->GetFolder(rootPath.Get(), root.Put()))) return result;
    ComPtr<ITaskDefinition> definition;
    if (FAILED(result = service->NewTask(0, definition.Put()))) return result;

    const std::wstring account = CurrentUserAccount();
    if (FAILED(result = DescribeTask(definition.Get(), request))) return result;
    if (FAILED(result = RunAsInteractiveUser(definition.Get(), account))) return result;
    if (FAILED(result = AllowLongRunsOnBattery(definition.Get()))) return result;
    if (FAILED(result = StartAtLogon(definition.Get(), account))) return result;
    if (FAILED(result = RunProgram(definition.Get(), request.program))) return result;

    UniqueBstr name(request.name.c_str());
    auto user = account.empty() ? UniqueVariant() : UniqueVariant::FromString(account.c_str());
    UniqueVariant noPassword;
    UniqueVariant noSecurityDescriptor = UniqueVariant::FromString(L"");
    ComPtr<IRegisteredTask> registered;
    return root->RegisterTaskDefinition(name.Get(), definition.Get(), TASK_CREATE_OR_UPDATE, user.Get(),
                                        noPassword.Get(), TASK_LOGON_INTERACTIVE_TOKEN,
                                        noSecurityDescriptor.Get(), registered.Put());
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
