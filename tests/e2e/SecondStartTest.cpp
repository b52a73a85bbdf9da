// Tabvisor.exe started again while it runs, as the logon task and a start by hand or the setup's
// "Start Tabvisor" do: the second start shows the running one's panel and pages, as the tablet
// key does, and ends having done nothing of its own; a name taken by anything but a Tabvisor of
// this user keeps no start from running.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ProgramUnderTest.h"
#include "SingleInstance.h"
#include "TestTablet.h"
#include "resource.h"

namespace {

// Starts Tabvisor.exe again and waits for it to end by itself; its exit code, or nothing when it
// still runs after ten seconds (it is ended then, so it cannot upset the next test).
std::optional<DWORD> StartAgain()
{
    std::wstring command = L"\"" + BuildFolder() + L"\\Tabvisor.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return std::nullopt;
    ::CloseHandle(started.hThread);
    const afx::unique_handle process(started.hProcess);
    if (!WaitFor([&] { return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, 10000)) {
        ::TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

// What a start of the program of its own would leave on the tablet: its task registration and
// the writes of its start-up (the switch byte written back) and of its sliders.
std::vector<long long> Writes(TestTablet& tablet)
{
    std::vector<long long> writes;
    for (const char* field : {"task_calls", "ec_writes", "brightness_sets", "volume_writes"})
        writes.push_back(tablet.Number(field));
    return writes;
}

TEST(SecondStart, ShowsTheRunningPanelAndPagesAsTheKeyDoesAndEndsHavingDoneNothingOfItsOwn)
{
    TestTablet tablet;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Started());
    const std::vector<long long> writes = Writes(tablet);
    const long long reads = tablet.Number("ec_reads");

    EXPECT_EQ(StartAgain(), 0u);
    EXPECT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    const HWND slider = program.Control(program.BrightnessPage(), IDC_BRIGHTNESS_SLIDER);
    EXPECT_TRUE(WaitFor([&] { return program.FocusedWindow() == slider; }));
    EXPECT_EQ(PanelsOnTheDesktop(), 1);
    // The one EC read is the shown switch page's, in the running program.
    EXPECT_EQ(Writes(tablet), writes);
    EXPECT_EQ(tablet.Number("ec_reads"), reads + 1);

    // While shown: it brings back a page hidden on its own, as the key does.
    SendTabletKey(std::to_wstring(VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(program.BrightnessPage()); }));
    EXPECT_EQ(StartAgain(), 0u);
    EXPECT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    EXPECT_TRUE(WaitFor([&] { return program.FocusedWindow() == slider; }));
    EXPECT_EQ(Writes(tablet), writes);
    EXPECT_TRUE(program.Running());
}

// The name is taken first by something that is no Tabvisor: a mapping left empty, and one whose
// record names a live process of another program (this test). Each time the program runs all
// the same, in full.
TEST(SecondStart, ANameTakenByAnythingButATabvisorOfThisUserKeepsNoStartFromRunning)
{
    TestTablet tablet;
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "a record naming another program" : "an empty record");
        ::SetLastError(ERROR_SUCCESS);
        const afx::unique_handle squatter(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                               sizeof(InstanceRecord), kInstanceObjectName));
        ASSERT_TRUE(squatter);
        ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a Tabvisor still runs";
        const afx::unique_mapped_view view(::MapViewOfFile(squatter.get(), FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_TRUE(view);
        if (named)
            *static_cast<InstanceRecord*>(view.get()) = {kInstanceMagic, ::GetCurrentProcessId(), 0, 0};

        ProgramUnderTest program;
        ASSERT_TRUE(program.Started());
        program.PressHotkey();
        EXPECT_TRUE(WaitFor([&] { return program.AllVisible(); }));
    }
    EXPECT_EQ(tablet.Number("task_calls"), 2);
}

} // namespace
