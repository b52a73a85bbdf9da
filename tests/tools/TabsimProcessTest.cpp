// tabsim run as its own process, the way scripts and end-to-end tests use it: the status lines
// they parse, changes, exit codes, output that cannot be written, the port log of what a program
// did, a port holder that was killed, repair of a damaged file, and keys that a low-level keyboard
// hook sees.
#include "LibsTestSupport.h"
#include "WireSequences.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace tabvisor::testing;

namespace {

constexpr wchar_t kVariable[] = L"TABVISOR_SIMULATED_TABLET";

std::map<std::string, std::string> ParseStatus(const std::string& text)
{
    std::map<std::string, std::string> fields;
    for (const std::string& line : SplitLines(text)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

class Tabsim : public ::testing::Test {
protected:
    ProcessOutput Run(const std::wstring& arguments) { return RunProgram(L"tabsim.exe", arguments); }
    std::map<std::string, std::string> Status()
    {
        const ProcessOutput result = Run(L"status");
        EXPECT_EQ(result.exitCode, 0u) << result.err;
        return ParseStatus(result.out);
    }

    TempTabletFile file;
    ScopedVariable variable{kVariable, file.Path().c_str()};
};

TEST_F(Tabsim, StatusPrintsEveryFieldInOrderOnAFreshTablet)
{
    const ProcessOutput result = Run(L"status");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    std::vector<std::string> names;
    for (const std::string& line : SplitLines(result.out)) names.push_back(line.substr(0, line.find('=')));
    EXPECT_EQ(names, (std::vector<std::string>{"switches", "brightness", "brightness_queries", "brightness_sets",
                                               "volume", "volume_reads", "volume_writes", "ec_ack", "ec_reads",
                                               "ec_writes", "winio", "winio_open", "winio_opens", "task_calls",
                                               "task_kind", "task_name", "task_program", "task_author",
                                               "task_description", "port_denied", "ec_ack_delay_ms"}));
    EXPECT_EQ(result.out.find('\r'), std::string::npos) << "plain line feeds, for scripts";
}

TEST_F(Tabsim, SetCommandsChangeTheTabletAndBadValuesChangeNothing)
{
    EXPECT_EQ(Run(L"set switches 0x09").exitCode, 0u);
    EXPECT_EQ(Run(L"set brightness 5").exitCode, 0u);
    EXPECT_EQ(Run(L"set volume 0.6").exitCode, 0u);
    EXPECT_EQ(Run(L"set ack 3").exitCode, 0u);
    EXPECT_EQ(Run(L"set ack-delay 40").exitCode, 0u);
    EXPECT_EQ(Run(L"set winio fail").exitCode, 0u);
    for (const wchar_t* bad : {L"set brightness 9", L"set volume 2", L"set volume 1.00000001", L"set volume 0x0.8",
                               L"set switches 0x100", L"set ack-delay 10001", L"set ack-delay soon", L"help extra"}) {
        const ProcessOutput refused = Run(bad);
        EXPECT_EQ(refused.exitCode, 1u) << std::string(bad, bad + wcslen(bad));
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("usage"), std::string::npos);
    }

    auto fields = Status();
    EXPECT_EQ(fields["switches"], "0x09");
    EXPECT_EQ(fields["brightness"], "5");
    EXPECT_EQ(fields["brightness_sets"], "0") << "changes made elsewhere are not the program's calls";
    EXPECT_EQ(fields["volume"], "0.600000");
    EXPECT_EQ(fields["ec_ack"], "3");
    EXPECT_EQ(fields["ec_ack_delay_ms"], "40");
    EXPECT_EQ(fields["winio"], "fail");

    EXPECT_EQ(Run(L"reset").exitCode, 0u);
    fields = Status();
    EXPECT_EQ(fields["switches"], "0x00");
    EXPECT_EQ(fields["brightness"], "3");
    EXPECT_EQ(fields["volume"], "0.500000");
    EXPECT_EQ(fields["ec_ack"], "now");
    EXPECT_EQ(fields["ec_ack_delay_ms"], "0");
    EXPECT_EQ(fields["winio"], "ok");
}

TEST_F(Tabsim, ShowsWhatAProgramDidThroughTheLibraries)
{
    TabletLibraries libs;
    ASSERT_TRUE(libs.AllBound());
    ASSERT_EQ(Run(L"set switches 0x01").exitCode, 0u);
    ASSERT_TRUE(libs.initializeWinIo());
    auto read = [&](uint16_t port) {
        DWORD value = 0;
        libs.getPortVal(port, &value, 1);
        return static_cast<uint8_t>(value);
    };
    auto write = [&](uint16_t port, uint8_t value) { libs.setPortVal(port, value, 1); };
    WriteSwitchesOnWire(read, write, 0x05);
    EXPECT_EQ(Status()["winio_open"], "1");
    libs.shutdownWinIo();
    libs.getPortVal(0x68, nullptr, 1);
    DWORD ignored = 0;
    libs.getPortVal(0x68, &ignored, 1);
    libs.addTask(1, L"Tabvisor", L"C:\\Program Files\\Tabvisor\\Tabvisor.exe", L"Quorvanta", L"a\nb");

    auto fields = Status();
    EXPECT_EQ(fields["switches"], "0x05");
    EXPECT_EQ(fields["ec_writes"], "1");
    EXPECT_EQ(fields["winio_open"], "0");
    EXPECT_EQ(fields["winio_opens"], "1");
    EXPECT_EQ(fields["port_denied"], "1");
    EXPECT_EQ(fields["task_calls"], "1");
    EXPECT_EQ(fields["task_program"], "C:\\Program Files\\Tabvisor\\Tabvisor.exe");
    EXPECT_EQ(fields["task_description"], "a\\nb");

    ProcessOutput log = Run(L"log --clear");
    EXPECT_EQ(log.exitCode, 0u);
    EXPECT_EQ(SplitLines(log.out),
              (std::vector<std::string>{"out 0x360 0x00", "out 0x361 0x05", "out 0x6C 0x12", "in 0x68 0xFA"}));
    log = Run(L"log");
    EXPECT_EQ(log.out, "") << "--clear empties the log after printing it";
}

// Standard output handles that take no bytes: a full device and a handle opened for reading.
std::vector<afx::unique_hfile> UnwritableOutputs()
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    std::vector<afx::unique_hfile> outputs;
    if (RunningUnderWine())
        outputs.emplace_back(CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr));
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH];
    GetTempFileNameW(folder, L"ro", 0, path);
    outputs.emplace_back(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                     OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return outputs;
}

TEST_F(Tabsim, OutputThatCannotBeWrittenFailsAndLogClearLosesNothing)
{
    TabletLibraries libs;
    ASSERT_TRUE(libs.AllBound());
    ASSERT_TRUE(libs.initializeWinIo());
    libs.setPortVal(0x360, 0, 1);
    libs.shutdownWinIo();

    for (const afx::unique_hfile& output : UnwritableOutputs()) {
        ASSERT_TRUE(output);
        EXPECT_EQ(RunProgram(L"tabsim.exe", L"log --clear", 60000, output.get()).exitCode, 5u);
        EXPECT_EQ(SplitLines(Run(L"log").out), (std::vector<std::string>{"out 0x360 0x00"})) << "nothing cleared";
        const ProcessOutput status = RunProgram(L"tabsim.exe", L"status", 60000, output.get());
        EXPECT_EQ(status.exitCode, 5u);
        EXPECT_NE(status.err.find("could not be written"), std::string::npos) << status.err;
        EXPECT_EQ(RunProgram(L"tabsim.exe", L"help", 60000, output.get()).exitCode, 5u);
    }
    // Help asked for goes to standard output.
    const ProcessOutput help = Run(L"help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("usage: tabsim"), std::string::npos);
}

TEST_F(Tabsim, APortHolderThatWasKilledHoldsNothing)
{
    const std::wstring eventName = L"TabvisorTestPortsOpen" + std::to_wstring(GetCurrentProcessId());
    afx::unique_handle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    auto holder = StartProgram(L"tablet_client.exe", L"open-ports " + eventName);
    ASSERT_TRUE(holder);
    ASSERT_EQ(WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);
    EXPECT_EQ(Status()["winio_open"], "1");

    TerminateProcess(holder.get(), 9);
    WaitForSingleObject(holder.get(), INFINITE);
    EXPECT_EQ(Status()["winio_open"], "0");
    holder = {};  // the id may now be handed out again; still nobody holds access
    EXPECT_EQ(Status()["winio_open"], "0");
}

TEST_F(Tabsim, DamagedFileIsReportedAndRepairedByReset)
{
    {
        afx::unique_hfile handle(
            CreateFileW(file.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(handle.get(), "garbage", 7, &written, nullptr);
    }
    const ProcessOutput status = Run(L"status");
    EXPECT_EQ(status.exitCode, 2u);
    EXPECT_EQ(status.out, "");
    EXPECT_NE(status.err.find("tabsim reset"), std::string::npos) << status.err;
    EXPECT_EQ(Run(L"set brightness 2").exitCode, 2u);

    EXPECT_EQ(Run(L"reset").exitCode, 0u);
    EXPECT_EQ(Status()["brightness"], "3");
}

TEST_F(Tabsim, FileOptionOverridesTheVariableAndSomeFileIsNeeded)
{
    TempTabletFile other;
    EXPECT_EQ(Run(L"--file \"" + other.Path() + L"\" set brightness 6").exitCode, 0u);
    EXPECT_EQ(Status()["brightness"], "3");
    EXPECT_EQ(ParseStatus(Run(L"status --file \"" + other.Path() + L"\"").out)["brightness"], "6");

    ScopedVariable none(kVariable, nullptr);
    const ProcessOutput result = Run(L"status");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find("TABVISOR_SIMULATED_TABLET"), std::string::npos);
    EXPECT_EQ(Run(L"frobnicate").exitCode, 1u);
    EXPECT_EQ(Run(L"--file \"Q:\\no\\such\\dir\\x.tablet\" status").exitCode, 3u);
}

// --- keys ----------------------------------------------------------------------------------

struct SeenKey {
    DWORD virtualKey;
    DWORD scanCode;
    bool up;
    bool extended;
};
std::vector<SeenKey> g_seenKeys;

LRESULT CALLBACK RecordKey(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        g_seenKeys.push_back({key->vkCode, key->scanCode, message == WM_KEYUP || message == WM_SYSKEYUP,
                              (key->flags & LLKHF_EXTENDED) != 0});
    }
    return CallNextHookEx(nullptr, code, message, data);
}

// Runs tabsim while this thread pumps messages, so its low-level hook gets to see the keys.
DWORD RunTabsimPumping(const std::wstring& arguments)
{
    afx::unique_handle process = StartProgram(L"tabsim.exe", arguments);
    if (!process) return 0xFFFFFFFF;
    HANDLE handle = process.get();
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &handle, FALSE, 30000, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    // Let the last events through.
    const ULONGLONG until = GetTickCount64() + 300;
    while (GetTickCount64() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(handle, &exitCode);
    return exitCode;
}

TEST(TabsimKeys, HookSeesTheTabletKeysWithTheirCodes)
{
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKey, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(hook, nullptr);
    g_seenKeys.clear();
    EXPECT_EQ(RunTabsimPumping(L"key hotkey"), 0u);
    EXPECT_EQ(RunTabsimPumping(L"key up down"), 0u);
    EXPECT_EQ(RunTabsimPumping(L"key down up"), 0u);
    UnhookWindowsHookEx(hook);

    ASSERT_EQ(g_seenKeys.size(), 4u);
    EXPECT_EQ(g_seenKeys[0].virtualKey, 0xFFu);
    EXPECT_EQ(g_seenKeys[0].scanCode, 0x2Cu);
    EXPECT_FALSE(g_seenKeys[0].up);
    EXPECT_EQ(g_seenKeys[1].virtualKey, 0xFFu);
    EXPECT_TRUE(g_seenKeys[1].up);
    EXPECT_EQ(g_seenKeys[2].virtualKey, static_cast<DWORD>(VK_UP));
    EXPECT_EQ(g_seenKeys[2].scanCode, 0x48u);
    EXPECT_FALSE(g_seenKeys[2].up);
    EXPECT_TRUE(g_seenKeys[2].extended);
    EXPECT_EQ(g_seenKeys[3].virtualKey, static_cast<DWORD>(VK_DOWN));
    EXPECT_EQ(g_seenKeys[3].scanCode, 0x50u);
    EXPECT_TRUE(g_seenKeys[3].up);
}

} // namespace
