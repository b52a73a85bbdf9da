// Tabvisor-setup.exe in the test prefix: a silent install puts the program where its boot task
// looks for it, keeps the maker's libraries, the installed program runs, and the uninstaller takes
// away exactly what was installed, the boot task included.
#include <gtest/gtest.h>

#include "InstallerTestSupport.h"
#include "TestTablet.h"

using namespace installer_test;

namespace {

const std::wstring kUninstaller = InstalledPath(L"Uninstall.exe");

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveEverything();
        ASSERT_FALSE(FolderExists(kInstallFolder)) << "an earlier run left the install folder behind";
        ASSERT_TRUE(FileExists(SetupPath()));
    }
    // Even after a failed check, so the prefix stays usable for the other tests.
    void TearDown() override { RemoveEverything(); }

    // A library of the tablet's maker already in the folder: a working DLL with bytes of its own.
    static std::vector<char> PlaceMakersLibrary(const wchar_t* name)
    {
        ::CreateDirectoryW(kInstallFolder, nullptr);
        std::vector<char> bytes = ReadBytes(PackedPath(name));
        const std::string marker = "the maker's own library";
        bytes.insert(bytes.end(), marker.begin(), marker.end());
        EXPECT_TRUE(WriteBytes(InstalledPath(name), bytes));
        return bytes;
    }

    static bool InstalledAsPacked(const wchar_t* file)
    {
        const std::vector<char> packed = ReadBytes(PackedPath(file));
        return !packed.empty() && ReadBytes(InstalledPath(file)) == packed;
    }

    static std::optional<DWORD> UninstallQuietly()
    {
        const std::optional<std::wstring> command = UninstallValue(L"QuietUninstallString");
        EXPECT_TRUE(command.has_value());
        return command ? RunToTheEnd(*command) : std::nullopt;
    }
};

TEST_F(Installer, InstallsWhereTheBootTaskPointsRunsAndUninstallsAroundTheMakersLibrary)
{
    const std::vector<char> makers = PlaceMakersLibrary(L"PM.dll");

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe"));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll"));
    EXPECT_TRUE(InstalledAsPacked(L"common.dll"));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == makers) << "the maker's PM.dll was overwritten";
    EXPECT_TRUE(FileExists(kUninstaller));

    // Add/Remove Programs, in the 64-bit registry.
    EXPECT_EQ(UninstallValue(L"DisplayName"), L"Tabvisor");
    EXPECT_EQ(UninstallValue(L"Publisher"), L"Quorvanta");
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), TABVISOR_VERSION_TEXT);
    EXPECT_EQ(UninstallValue(L"InstallLocation"), kInstallFolder);
    EXPECT_EQ(UninstallValue(L"UninstallString"), L"\"" + kUninstaller + L"\"");
    EXPECT_EQ(UninstallValue(L"QuietUninstallString"), L"\"" + kUninstaller + L"\" /S");

    {
        TestTablet tablet;
        InstalledProgram program;
        ASSERT_NE(program.Panel(), nullptr) << "the installed program's panel did not come up";
        EXPECT_GE(tablet.Number("task_calls"), 1);
        // The boot task the program registers starts exactly the file that was installed.
        EXPECT_EQ(tablet.Field("task_program"), "C:\\Program Files\\Tabvisor\\Tabvisor.exe");
        PressHotkey();
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(program.Panel()) != FALSE; }));
        EXPECT_EQ(program.Close(), 0u);
    }

    EXPECT_EQ(UninstallQuietly(), 0u);
    for (const wchar_t* file : {L"Tabvisor.exe", L"WINIO.dll", L"common.dll", L"Uninstall.exe"})
        EXPECT_FALSE(FileExists(InstalledPath(file))) << "left behind: " << ::testing::PrintToString(std::wstring(file));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == makers) << "the maker's PM.dll was removed or changed";
    EXPECT_FALSE(UninstallEntryExists());
}

TEST_F(Installer, UninstallEndsTheRunningProgramAndRemovesTheBootTaskAndTheFolder)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    ASSERT_EQ(RegisterBootTask(), S_OK);
    ASSERT_TRUE(BootTaskExists());
    TestTablet tablet;
    InstalledProgram program;
    ASSERT_NE(program.Panel(), nullptr);

    EXPECT_EQ(UninstallQuietly(), 0u);
    EXPECT_EQ(program.WaitForEnd(5000), 0u) << "the uninstaller did not close the program";
    EXPECT_FALSE(BootTaskExists());
    EXPECT_FALSE(FolderExists(kInstallFolder));
    EXPECT_FALSE(UninstallEntryExists());
}

TEST_F(Installer, ReinstallOverARunningProgramUpdatesOnlyItsOwnFiles)
{
    const std::vector<char> makers = PlaceMakersLibrary(L"common.dll");
    ASSERT_EQ(RunSetupSilently(), 0u);
    // An older copy of our own stand-in, as an earlier version would have left it.
    ASSERT_TRUE(WriteBytes(InstalledPath(L"WINIO.dll"), ReadBytes(BuildFolder() + L"\\WINIO.dll")));
    ASSERT_FALSE(InstalledAsPacked(L"WINIO.dll"));
    TestTablet tablet;
    InstalledProgram program;
    ASSERT_NE(program.Panel(), nullptr);

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_EQ(program.WaitForEnd(5000), 0u) << "the setup did not close the program before replacing it";
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe"));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll"));
    EXPECT_TRUE(InstalledAsPacked(L"PM.dll"));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == makers) << "the maker's common.dll was overwritten";

    EXPECT_EQ(RunToTheEnd(L"\"" + kUninstaller + L"\" /S"), 0u);
    EXPECT_FALSE(FileExists(InstalledPath(L"WINIO.dll")));
    EXPECT_FALSE(FileExists(InstalledPath(L"PM.dll")));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == makers);
}

} // namespace
