// The system builds of the libraries, the ones the setup installs, as far as Wine lets them run:
// no simulated tablet even when one is named, no port access, brightness without a WMI brightness
// class, the Core Audio master volume, and the start-up task in the Task Scheduler.
#include "ComHandles.h"
#include "LibsTestSupport.h"
#include "ResyncSchedule.h"

#include <taskschd.h>
#define SECURITY_WIN32
#include <security.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <thread>

using namespace tabvisor::testing;

namespace {

// Waits for a background thread of a library to reach a state; never a timing assertion, just
// a generous bound so a broken backend fails instead of hanging.
bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// A tablet is named, as on a machine where the variable happens to be set: the system builds
// must not see it.
class SystemBackends : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(libs.AllBound()); }
    TempTabletFile namedTablet;
    ScopedVariable variable{L"TABVISOR_SIMULATED_TABLET", namedTablet.Path().c_str()};
    TabletLibraries libs{kSystemBuilds};
};

TEST_F(SystemBackends, WinIoHasNoPortDriverAndTouchesNothing)
{
    EXPECT_FALSE(libs.initializeWinIo()) << "a simulated tablet grants port access";
    DWORD value = 0xABCD;
    EXPECT_FALSE(libs.getPortVal(0x68, &value, 1));
    EXPECT_EQ(value, 0xABCDu);
    EXPECT_FALSE(libs.setPortVal(0x6C, 0x11, 1));
    EXPECT_FALSE(libs.shutdownWinIo());
    EXPECT_EQ(GetFileAttributesW(namedTablet.Path().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the system build made the named tablet";
}

// What the setup installs has no simulator in it: neither the variable's name nor the tablet
// lock's, which every simulated build holds (as the check of the simulated builds shows).
TEST(SystemBuilds, HoldNoSimulator)
{
    for (const wchar_t* library : {closed_libraries::kWinIoLibrary, closed_libraries::kPowerLibrary,
                                   closed_libraries::kCommonLibrary}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(library)));
        const std::vector<char> simulated = FileBytes(BinaryDirectory() + library);
        ASSERT_FALSE(simulated.empty());
        EXPECT_TRUE(HoldsText(simulated, L"TABVISOR_SIMULATED_TABLET"));
        EXPECT_TRUE(HoldsText(simulated, L"TabvisorSimulatedTabletLock"));
        const std::vector<char> system = FileBytes(BinaryDirectory() + kSystemBuilds + library);
        ASSERT_FALSE(system.empty());
        EXPECT_FALSE(HoldsText(system, L"TABVISOR_SIMULATED_TABLET"));
        EXPECT_FALSE(HoldsText(system, L"TabvisorSimulatedTabletLock"));
    }
}

TEST_F(SystemBackends, BrightnessWithoutADisplayClassIsAStableSevenAndSetsAreRefused)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "this machine may well have brightness control";
    // Refused from the very first call of a process, before the background thread has looked.
    EXPECT_EQ(RunProgram(L"tablet_client.exe", L"first-set").exitCode, 0u);
    EXPECT_EQ(libs.queryBrightness(), 7u);
    EXPECT_EQ(libs.setBrightness(3), 0u);
    // The answer stays the same, whatever was asked for meanwhile.
    for (int i = 0; i < 100; ++i) ASSERT_EQ(libs.queryBrightness(), 7u);
    EXPECT_EQ(libs.setBrightness(8), 0u);
}

TEST_F(SystemBackends, BadVolumeArgumentsAreRefusedBeforeTheAudioSystemIsAsked)
{
    float scalar = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(libs.volumeVista(4, 0, &scalar), E_INVALIDARG);
    scalar = 1.5f;
    EXPECT_EQ(libs.volumeVista(4, 0, &scalar), E_INVALIDARG);
    scalar = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(libs.volumeVista(4, 0, &scalar), E_INVALIDARG);
    EXPECT_EQ(libs.volumeVista(3, 0, nullptr), E_POINTER);
    EXPECT_EQ(libs.volumeVista(4, 0, nullptr), E_POINTER);
    EXPECT_EQ(libs.volumeVista(0, 0, &scalar), E_INVALIDARG);
}

TEST_F(SystemBackends, MasterVolumeReadsAsAScalarOrFailsCleanly)
{
    float scalar = -2.0f;
    HRESULT result = E_PENDING;
    ASSERT_TRUE(Eventually([&] { return (result = libs.volumeVista(3, 0, &scalar)) != E_PENDING; }));
    if (FAILED(result)) {
        EXPECT_EQ(scalar, -2.0f) << "a failed read leaves the float alone";
        return;
    }
    EXPECT_GE(scalar, 0.0f);
    EXPECT_LE(scalar, 1.0f);

    float wanted = 0.3f;
    HRESULT written = libs.volumeVista(4, 0, &wanted);
    EXPECT_TRUE(written == S_OK || written == E_NOTIMPL);
    if (RunningUnderWine()) {
        // Wine's endpoint refuses to set the volume; the refusal shows in the writes that follow,
        // and the cache goes back to what the endpoint really holds.
        EXPECT_TRUE(Eventually([&] { return libs.volumeVista(4, 0, &wanted) == E_NOTIMPL; }));
        float now = -1.0f;
        EXPECT_TRUE(Eventually([&] { return libs.volumeVista(3, 0, &now) == S_OK && now == scalar; }));
    } else {
        float now = -1.0f;
        EXPECT_TRUE(Eventually([&] { return libs.volumeVista(3, 0, &now) == S_OK && std::fabs(now - 0.3f) < 0.01f; }));
        libs.volumeVista(4, 0, &scalar);
    }
}

TEST_F(SystemBackends, AfterAQuietPeriodTheBackendsAnswerAsBeforeAndWritesGoOn)
{
    float scalar = -2.0f;
    HRESULT volume = E_PENDING;
    ASSERT_TRUE(Eventually([&] { return (volume = libs.volumeVista(3, 0, &scalar)) != E_PENDING; }));
    const unsigned int level = libs.queryBrightness();
    // Longer than the workers stay awake after a call, plus their longest period (5 s): both sleep
    // now, and the next call wakes them.
    Sleep(static_cast<DWORD>(tabvisor::ResyncSchedule::kKeepAwakeMs + 6000));
    float after = -3.0f;
    EXPECT_EQ(libs.volumeVista(3, 0, &after), volume);
    if (FAILED(volume)) {
        EXPECT_EQ(after, -3.0f) << "a failed read leaves the float alone";
    } else if (RunningUnderWine()) {
        EXPECT_EQ(after, scalar) << "nothing changes Wine's volume meanwhile";
    }
    if (RunningUnderWine()) {
        EXPECT_EQ(libs.queryBrightness(), level);
    }
    // A write after the quiet period is taken or refused as before, and the worker it wakes
    // carries on.
    float wanted = 0.4f;
    const HRESULT written = libs.volumeVista(4, 0, &wanted);
    if (FAILED(volume)) {
        EXPECT_EQ(written, volume) << "no device: the failure that stops writes";
    } else {
        EXPECT_TRUE(written == S_OK || written == E_NOTIMPL);
        libs.volumeVista(4, 0, &scalar);
    }
    EXPECT_NE(libs.volumeVista(3, 0, &after), E_PENDING);
}

// --- the start-up task -------------------------------------------------------------------------

constexpr wchar_t kTaskName[] = L"Tabvisor";
constexpr wchar_t kProgram[] = L"C:\\Program Files\\Tabvisor\\Tabvisor.exe";
constexpr wchar_t kAuthor[] = L"Quorvanta";
constexpr wchar_t kDescription[] =
    L"hotkey function switch auto run here.\nIf you don't want it to start with system boot,\ndelete this task!";

class ComThread {
public:
    ComThread() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComThread()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }

private:
    HRESULT m_result;
};

afx::com_ptr<ITaskDefinition> RegisteredDefinition(const wchar_t* name)
{
    afx::com_ptr<ITaskService> service;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService, service.put_void())))
        return {};
    afx::unique_variant none;
    if (FAILED(service->Connect(none.get(), none.get(), none.get(), none.get()))) return {};
    afx::com_ptr<ITaskFolder> root;
    afx::unique_bstr rootPath = afx::make_bstr(L"\\");
    if (FAILED(service->GetFolder(rootPath.get(), root.put()))) return {};
    afx::com_ptr<IRegisteredTask> task;
    afx::unique_bstr taskName = afx::make_bstr(name);
    if (FAILED(root->GetTask(taskName.get(), task.put()))) return {};
    afx::com_ptr<ITaskDefinition> definition;
    task->get_Definition(definition.put());
    return definition;
}

bool HasDescription(const wchar_t* name, const wchar_t* author, const wchar_t* description)
{
    auto definition = RegisteredDefinition(name);
    afx::com_ptr<IRegistrationInfo> info;
    if (!definition || FAILED(definition->get_RegistrationInfo(info.put()))) return false;
    afx::unique_bstr registeredAuthor;
    afx::unique_bstr registeredDescription;
    info->get_Author(registeredAuthor.put());
    info->get_Description(registeredDescription.put());
    return std::wstring(afx::text_of(registeredAuthor)) == author && std::wstring(afx::text_of(registeredDescription)) == description;
}

TEST_F(SystemBackends, StartupTaskIsRegisteredAndReplacedByTheNextCall)
{
    ComThread com;
    EXPECT_EQ(libs.addTask(1, kTaskName, kProgram, kAuthor, kDescription), S_OK);
    EXPECT_TRUE(Eventually([] { return HasDescription(kTaskName, kAuthor, kDescription); }));

    EXPECT_EQ(libs.addTask(1, kTaskName, kProgram, L"Someone else", L"replaced"), S_OK);
    EXPECT_TRUE(Eventually([] { return HasDescription(kTaskName, L"Someone else", L"replaced"); }));
    // The program's own registration is what the prefix keeps for the other tests.
    EXPECT_EQ(libs.addTask(1, kTaskName, kProgram, kAuthor, kDescription), S_OK);
    EXPECT_TRUE(Eventually([] { return HasDescription(kTaskName, kAuthor, kDescription); }));

    auto definition = RegisteredDefinition(kTaskName);
    ASSERT_TRUE(definition);
    afx::com_ptr<ITriggerCollection> triggers;
    afx::com_ptr<IActionCollection> actions;
    LONG triggerCount = 0;
    LONG actionCount = 0;
    if (SUCCEEDED(definition->get_Triggers(triggers.put()))) triggers->get_Count(&triggerCount);
    if (SUCCEEDED(definition->get_Actions(actions.put()))) actions->get_Count(&actionCount);
    // Wine's Task Scheduler keeps the name, author and description but drops triggers, actions and
    // the user, so what the task starts, when and as whom can only be checked on Windows.
    if (RunningUnderWine()) return;
    // The user who asked for it, named as the Task Scheduler wants: DOMAIN\user.
    wchar_t account[512];
    ULONG accountLength = 512;
    ASSERT_TRUE(GetUserNameExW(NameSamCompatible, account, &accountLength));
    afx::com_ptr<IPrincipal> principal;
    afx::unique_bstr userId;
    ASSERT_TRUE(SUCCEEDED(definition->get_Principal(principal.put())));
    principal->get_UserId(userId.put());
    EXPECT_STREQ(afx::text_of(userId), account);
    ASSERT_EQ(triggerCount, 1);
    afx::com_ptr<ITrigger> trigger;
    triggers->get_Item(1, trigger.put());
    TASK_TRIGGER_TYPE2 type{};
    trigger->get_Type(&type);
    EXPECT_EQ(type, TASK_TRIGGER_LOGON);
    ASSERT_EQ(actionCount, 1);
    afx::com_ptr<IAction> action;
    actions->get_Item(1, action.put());
    auto exec = action.query<IExecAction>();
    ASSERT_TRUE(exec);
    afx::unique_bstr path;
    exec->get_Path(path.put());
    EXPECT_STREQ(afx::text_of(path), kProgram);
    afx::com_ptr<ITaskSettings> settings;
    definition->get_Settings(settings.put());
    afx::unique_bstr limit;
    VARIANT_BOOL disallowOnBattery = VARIANT_TRUE;
    VARIANT_BOOL stopOnBattery = VARIANT_TRUE;
    settings->get_ExecutionTimeLimit(limit.put());
    settings->get_DisallowStartIfOnBatteries(&disallowOnBattery);
    settings->get_StopIfGoingOnBatteries(&stopOnBattery);
    EXPECT_STREQ(afx::text_of(limit), L"PT0S");
    EXPECT_EQ(disallowOnBattery, VARIANT_FALSE);
    EXPECT_EQ(stopOnBattery, VARIANT_FALSE);
}

TEST_F(SystemBackends, MalformedTaskRequestsAreRefusedAtOnce)
{
    EXPECT_EQ(libs.addTask(0, kTaskName, kProgram, kAuthor, kDescription), E_INVALIDARG);
    EXPECT_EQ(libs.addTask(1, nullptr, kProgram, kAuthor, kDescription), E_POINTER);
    EXPECT_EQ(libs.addTask(1, kTaskName, L"", kAuthor, kDescription), E_INVALIDARG);
}

} // namespace
