// Tabvisor-setup.exe in the test prefix: a silent install puts the build that can load the
// tablet's libraries where its boot task looks for it, keeps the maker's libraries (also one copied
// over ours since), stops when they disagree, stops without a record when its files cannot land
// and then leaves an earlier install as it was, the installed program runs and reaches the
// libraries, and the uninstaller takes away exactly what was installed, the boot task included.
// The x64 tree runs these in a 64-bit prefix, the x86 tree in a 32-bit one.
#include <gtest/gtest.h>

#include <algorithm>

#include "InstallerTestSupport.h"
#include "LibsTestSupport.h"
#include "ProgramFile.h"
#include "TestTablet.h"

using namespace installer_test;

namespace {

const std::wstring kUninstaller = InstalledPath(L"Uninstall.exe");
constexpr const wchar_t* kLibraries[] = {L"WINIO.dll", L"PM.dll", L"common.dll"};

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

    // A library of the tablet's maker already in the folder: a working DLL with bytes of its own,
    // the simulated build, so the installed program's calls of it reach the test's tablet.
    static std::vector<char> PlaceMakersLibrary(const wchar_t* name, Arch arch)
    {
        ::CreateDirectoryW(kInstallFolder, nullptr);
        std::vector<char> bytes = ReadBytes(SimulatedLibraryPath(name, arch));
        EXPECT_FALSE(bytes.empty());
        const std::string marker = "the maker's own library";
        bytes.insert(bytes.end(), marker.begin(), marker.end());
        EXPECT_TRUE(WriteBytes(InstalledPath(name), bytes));
        return bytes;
    }

    // A maker's library copied over ours the way a user copies one: bytes of its own (a DOS stub
    // that says so) in a DLL that still loads, with the size and last-write time of the file it
    // replaces, which a copy can keep.
    static std::vector<char> CopyMakersLibraryOverOurs(const wchar_t* name)
    {
        const std::wstring path = InstalledPath(name);
        std::vector<char> bytes = ReadBytes(path);
        const std::optional<FILETIME> written = LastWriteTime(path);
        const std::string stub = "This program cannot be run in DOS mode";
        const std::string makers = "The tablet maker's own library, really";
        const auto at = std::search(bytes.begin(), bytes.end(), stub.begin(), stub.end());
        EXPECT_TRUE(at != bytes.end() && written.has_value());
        if (at != bytes.end())
            std::copy(makers.begin(), makers.end(), at);
        EXPECT_TRUE(WriteBytes(path, bytes));
        if (written) {
            EXPECT_TRUE(SetLastWriteTime(path, *written));
        }
        return bytes;
    }

    static bool InstalledAsPacked(const wchar_t* file, Arch arch)
    {
        const std::vector<char> packed = ReadBytes(PackedPath(file, arch));
        return !packed.empty() && ReadBytes(InstalledPath(file)) == packed;
    }

    static std::optional<DWORD> UninstallQuietly()
    {
        const std::optional<std::wstring> command = UninstallValue(L"QuietUninstallString");
        EXPECT_TRUE(command.has_value());
        return command ? RunToTheEnd(*command) : std::nullopt;
    }

    // For its lifetime, the stand-ins the setup installed (the system builds, which never reach a
    // simulated tablet) are the simulated builds instead, so the installed program's calls reach
    // the test's tablet; then the installed bytes come back, fingerprints and all.
    class SimulatedStandIns {
    public:
        SimulatedStandIns()
        {
            const std::optional<Arch> arch = MachineOf(InstalledPath(L"Tabvisor.exe"));
            EXPECT_TRUE(arch.has_value());
            for (const wchar_t* library : kLibraries) {
                std::vector<char> installed = ReadBytes(InstalledPath(library));
                if (!arch || installed.empty() || installed != ReadBytes(PackedPath(library, *arch)))
                    continue;  // the maker's, or none
                EXPECT_TRUE(WriteBytes(InstalledPath(library), ReadBytes(SimulatedLibraryPath(library, *arch))));
                m_installed.emplace_back(library, std::move(installed));
            }
        }
        ~SimulatedStandIns()
        {
            for (const auto& [library, bytes] : m_installed)
                EXPECT_TRUE(WriteBytes(InstalledPath(library), bytes));
        }
        SimulatedStandIns(const SimulatedStandIns&) = delete;
        SimulatedStandIns& operator=(const SimulatedStandIns&) = delete;

    private:
        std::vector<std::pair<std::wstring, std::vector<char>>> m_installed;
    };

    // The installed program comes up, shows its panel on the key and reaches every library (the
    // tablet counts the calls: the start's, then the shown pages' polls).
    static void ExpectInstalledProgramWorks(TestTablet& tablet)
    {
        const SimulatedStandIns standIns;
        InstalledProgram program;
        ASSERT_NE(program.Panel(), nullptr) << "the installed program's panel did not come up";
        EXPECT_GE(tablet.Number("task_calls"), 1);
        EXPECT_GE(tablet.Number("winio_opens"), 1);
        PressHotkey();
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(program.Panel()) != FALSE; }));
        EXPECT_TRUE(WaitFor([&] { return tablet.Number("brightness_queries") > 1 && tablet.Number("volume_reads") > 1; }));
        EXPECT_EQ(program.Close(), 0u);
    }
};

TEST_F(Installer, InstallsWhereTheBootTaskPointsRunsAndUninstallsAroundTheMakersLibrary)
{
    const Arch arch = WindowsArch();
    const std::vector<char> makers = PlaceMakersLibrary(L"PM.dll", arch);

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe", arch));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", arch));
    EXPECT_TRUE(InstalledAsPacked(L"common.dll", arch));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == makers) << "the maker's PM.dll was overwritten";
    EXPECT_TRUE(FileExists(kUninstaller));
    // What tells our copies from the maker's later: the fingerprint of each copy it put there.
    EXPECT_EQ(UninstallValue(L"Installed WINIO.dll"), Sha256Of(InstalledPath(L"WINIO.dll")));
    EXPECT_EQ(UninstallValue(L"Installed common.dll"), Sha256Of(InstalledPath(L"common.dll")));
    EXPECT_EQ(UninstallValue(L"Installed PM.dll"), std::nullopt);

    // Add/Remove Programs, in the 64-bit registry.
    EXPECT_EQ(UninstallValue(L"DisplayName"), L"Tabvisor");
    EXPECT_EQ(UninstallValue(L"Publisher"), L"Quorvanta");
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), TABVISOR_VERSION_TEXT);
    // The program carries the version the setup shows.
    EXPECT_EQ(VersionString(InstalledPath(L"Tabvisor.exe"), L"ProductVersion"), TABVISOR_VERSION_TEXT);
    EXPECT_EQ(UninstallValue(L"InstallLocation"), kInstallFolder);
    EXPECT_EQ(UninstallValue(L"UninstallString"), L"\"" + kUninstaller + L"\"");
    EXPECT_EQ(UninstallValue(L"QuietUninstallString"), L"\"" + kUninstaller + L"\" /S");
    EXPECT_EQ(UninstallValue(L"Architecture"), arch == Arch::X64 ? L"x64" : L"x86");

    {
        TestTablet tablet;
        ASSERT_NO_FATAL_FAILURE(ExpectInstalledProgramWorks(tablet));
        // The boot task the program registers starts exactly the file that was installed.
        EXPECT_EQ(tablet.Field("task_program"), "C:\\Program Files\\Tabvisor\\Tabvisor.exe");
    }

    EXPECT_EQ(UninstallQuietly(), 0u);
    for (const wchar_t* file : {L"Tabvisor.exe", L"WINIO.dll", L"common.dll", L"Uninstall.exe"})
        EXPECT_FALSE(FileExists(InstalledPath(file))) << "left behind: " << ::testing::PrintToString(std::wstring(file));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == makers) << "the maker's PM.dll was removed or changed";
    EXPECT_FALSE(UninstallEntryExists());
}

TEST_F(Installer, WithoutTheMakersLibrariesTheBuildOfTheRunningWindowsComesWithAllItsStandIns)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_EQ(MachineOf(InstalledPath(L"Tabvisor.exe")), WindowsArch());
    for (const wchar_t* library : kLibraries) {
        EXPECT_TRUE(InstalledAsPacked(library, WindowsArch())) << ::testing::PrintToString(std::wstring(library));
        // The system build: no simulated tablet on a real machine, whatever its environment says.
        EXPECT_FALSE(tabvisor::testing::HoldsText(ReadBytes(InstalledPath(library)), L"TABVISOR_SIMULATED_TABLET"))
            << ::testing::PrintToString(std::wstring(library));
    }
    TestTablet tablet;
    ASSERT_NO_FATAL_FAILURE(ExpectInstalledProgramWorks(tablet));
}

TEST_F(Installer, ThirtyTwoBitLibrariesOfTheMakerGetTheX86BuildAndItsCallsReachThem)
{
    // The maker's PM.dll and common.dll; WINIO.dll comes from the setup, in their architecture.
    const std::vector<char> pm = PlaceMakersLibrary(L"PM.dll", Arch::X86);
    const std::vector<char> common = PlaceMakersLibrary(L"common.dll", Arch::X86);

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe", Arch::X86));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", Arch::X86));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == common);
    EXPECT_EQ(UninstallValue(L"Architecture"), L"x86");

    TestTablet tablet;
    ASSERT_NO_FATAL_FAILURE(ExpectInstalledProgramWorks(tablet));
}

TEST_F(Installer, LibrariesOfTwoArchitecturesStopTheSetupBeforeItChangesAnything)
{
    const std::vector<char> pm = PlaceMakersLibrary(L"PM.dll", Arch::X86);
    const std::vector<char> common = PlaceMakersLibrary(L"common.dll", Arch::X64);

    const std::optional<DWORD> exitCode = RunSetupSilently();
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_NE(*exitCode, 0u);
    EXPECT_FALSE(FileExists(InstalledPath(L"Tabvisor.exe")));
    EXPECT_FALSE(FileExists(InstalledPath(L"WINIO.dll")));
    EXPECT_FALSE(FileExists(kUninstaller));
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == common);
}

TEST_F(Installer, SixtyFourBitLibrariesOnThirtyTwoBitWindowsStopTheSetup)
{
    if (WindowsArch() != Arch::X86)
        GTEST_SKIP() << "needs a 32-bit Windows (the x86 tree's run)";
    const std::vector<char> pm = PlaceMakersLibrary(L"PM.dll", Arch::X64);
    const std::optional<DWORD> exitCode = RunSetupSilently();
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_NE(*exitCode, 0u);
    EXPECT_FALSE(FileExists(InstalledPath(L"Tabvisor.exe")));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm);
}

TEST_F(Installer, AnUpdateThatChangesArchitectureReplacesWhatTheSetupPutThereAndNothingElse)
{
    // As the 64-bit-only setup left a tablet with the maker's 32-bit PM.dll: a Tabvisor.exe and
    // stand-ins that cannot load it, recorded with a bare mark (from before fingerprints), which
    // holds for copies that are byte for byte ones this setup packs.
    const std::vector<char> pm = PlaceMakersLibrary(L"PM.dll", Arch::X86);
    for (const wchar_t* file : {L"Tabvisor.exe", L"WINIO.dll", L"common.dll"})
        ASSERT_TRUE(WriteBytes(InstalledPath(file), ReadBytes(PackedPath(file, Arch::X64))));
    MarkInstalledByEarlierSetup(L"WINIO.dll");
    MarkInstalledByEarlierSetup(L"common.dll");
    MarkInstalledByEarlierSetup(L"PM.dll");

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe", Arch::X86));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", Arch::X86));
    EXPECT_TRUE(InstalledAsPacked(L"common.dll", Arch::X86));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm);
    EXPECT_EQ(UninstallValue(L"Installed WINIO.dll"), Sha256Of(PackedPath(L"WINIO.dll", Arch::X86)));
    EXPECT_EQ(UninstallValue(L"Installed PM.dll"), std::nullopt) << "a mark that did not hold stayed";

    TestTablet tablet;
    ASSERT_NO_FATAL_FAILURE(ExpectInstalledProgramWorks(tablet));
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
    const Arch arch = WindowsArch();
    const std::vector<char> makers = PlaceMakersLibrary(L"common.dll", arch);
    ASSERT_EQ(RunSetupSilently(), 0u);
    // An older copy of our own stand-in, as an earlier version would have left and recorded it.
    std::vector<char> older = ReadBytes(PackedPath(L"WINIO.dll", arch));
    older.push_back('!');
    ASSERT_TRUE(WriteBytes(InstalledPath(L"WINIO.dll"), older));
    MarkInstalledBySetup(L"WINIO.dll");
    TestTablet tablet;
    InstalledProgram program;
    ASSERT_NE(program.Panel(), nullptr);

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_EQ(program.WaitForEnd(5000), 0u) << "the setup did not close the program before replacing it";
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe", arch));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", arch));
    EXPECT_TRUE(InstalledAsPacked(L"PM.dll", arch));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == makers) << "the maker's common.dll was overwritten";

    EXPECT_EQ(RunToTheEnd(L"\"" + kUninstaller + L"\" /S"), 0u);
    EXPECT_FALSE(FileExists(InstalledPath(L"WINIO.dll")));
    EXPECT_FALSE(FileExists(InstalledPath(L"PM.dll")));
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == makers);
}

// What a user does after the switches' tooltip says a library is missing. Size and time stamp
// are those of our copy, so only the content tells. The setup finds PM.dll changed; the
// uninstaller finds common.dll changed after the last setup.
TEST_F(Installer, AMakersLibraryCopiedOverOursIsKeptByTheNextSetupAndTheUninstaller)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    const std::vector<char> pm = CopyMakersLibraryOverOurs(L"PM.dll");

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm) << "the maker's PM.dll was overwritten";
    EXPECT_EQ(UninstallValue(L"Installed PM.dll"), std::nullopt);
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", WindowsArch()));

    const std::vector<char> common = CopyMakersLibraryOverOurs(L"common.dll");
    EXPECT_EQ(UninstallQuietly(), 0u);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == pm) << "the uninstaller removed the maker's PM.dll";
    EXPECT_TRUE(ReadBytes(InstalledPath(L"common.dll")) == common) << "the uninstaller removed the maker's common.dll";
    EXPECT_EQ(FolderContents(kInstallFolder), (std::vector<std::wstring>{L"PM.dll", L"common.dll"}));
}

// The choice of build reads a library copied over ours like any maker's: on 64-bit Windows a
// 32-bit one brings the x86 build; on 32-bit Windows a 64-bit one stops the setup, which leaves the
// install as it was.
TEST_F(Installer, AMakersLibraryOfTheOtherArchitectureCopiedOverOursDecidesTheBuild)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    const Arch other = WindowsArch() == Arch::X64 ? Arch::X86 : Arch::X64;
    const std::vector<char> makers = PlaceMakersLibrary(L"PM.dll", other);

    EXPECT_EQ(RunSetupSilently(), other == Arch::X86 ? 0u : 2u);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"PM.dll")) == makers);
    // Either way the x86 build is there.
    for (const wchar_t* file : {L"Tabvisor.exe", L"WINIO.dll", L"common.dll"})
        EXPECT_TRUE(InstalledAsPacked(file, Arch::X86)) << ::testing::PrintToString(std::wstring(file));
}

// Something of another kind where a file or the folder belongs: nothing lands, and so the setup
// records nothing, makes no Programs and Features entry, and says it failed.
TEST_F(Installer, AFileForTheFolderOrAFolderForAFileStopsTheSetupWithNothingRecorded)
{
    const std::vector<char> text = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'};
    ASSERT_TRUE(WriteBytes(kInstallFolder, text));
    EXPECT_EQ(RunSetupSilently(), 2u);
    EXPECT_TRUE(ReadBytes(kInstallFolder) == text);
    EXPECT_FALSE(UninstallEntryExists());
    ASSERT_TRUE(::DeleteFileW(kInstallFolder));

    ASSERT_TRUE(::CreateDirectoryW(kInstallFolder, nullptr));
    ASSERT_TRUE(::CreateDirectoryW(InstalledPath(L"Tabvisor.exe").c_str(), nullptr));
    EXPECT_EQ(RunSetupSilently(), 2u);
    EXPECT_TRUE(FolderExists(InstalledPath(L"Tabvisor.exe")));
    EXPECT_EQ(FolderContents(kInstallFolder), std::vector<std::wstring>{L"Tabvisor.exe"});
    EXPECT_FALSE(UninstallEntryExists());
}

// An update whose files cannot all land (a program holds common.dll open against deletion) stops
// and puts back the earlier files it had already replaced, records and all; once the file is free,
// the next setup installs.
TEST_F(Installer, AnUpdateThatCannotReplaceAFileLeavesTheEarlierInstallAsItWas)
{
    const Arch arch = WindowsArch();
    ASSERT_EQ(RunSetupSilently(), 0u);
    // As an earlier version left it.
    std::vector<char> olderProgram = ReadBytes(PackedPath(L"Tabvisor.exe", arch));
    olderProgram.push_back('!');
    ASSERT_TRUE(WriteBytes(InstalledPath(L"Tabvisor.exe"), olderProgram));
    std::vector<char> olderWinio = ReadBytes(PackedPath(L"WINIO.dll", arch));
    olderWinio.push_back('!');
    ASSERT_TRUE(WriteBytes(InstalledPath(L"WINIO.dll"), olderWinio));
    MarkInstalledBySetup(L"WINIO.dll");
    const std::vector<char> uninstaller = ReadBytes(kUninstaller);
    const std::vector<std::wstring> files = FolderContents(kInstallFolder);
    {
        afx::unique_hfile held(::CreateFileW(InstalledPath(L"common.dll").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(RunSetupSilently(), 2u);
    }
    EXPECT_TRUE(ReadBytes(InstalledPath(L"Tabvisor.exe")) == olderProgram);
    EXPECT_TRUE(ReadBytes(InstalledPath(L"WINIO.dll")) == olderWinio);
    EXPECT_TRUE(InstalledAsPacked(L"common.dll", arch));
    EXPECT_TRUE(ReadBytes(kUninstaller) == uninstaller);
    EXPECT_EQ(FolderContents(kInstallFolder), files) << "the failed setup left files beside the install";
    EXPECT_EQ(UninstallValue(L"Installed WINIO.dll"), Sha256Of(InstalledPath(L"WINIO.dll")));
    EXPECT_EQ(UninstallValue(L"DisplayName"), L"Tabvisor");

    ASSERT_EQ(RunSetupSilently(), 0u);
    EXPECT_TRUE(InstalledAsPacked(L"Tabvisor.exe", arch));
    EXPECT_TRUE(InstalledAsPacked(L"WINIO.dll", arch));
}

// The setup runs elevated (as every process does under Wine), so its "Start Tabvisor" hands the
// start to the desktop's shell, which runs as the logged-on user: the program is the shell's
// child, with the shell's environment (so not on this test's simulated tablet).
TEST_F(Installer, TheFinishPagesStartHandsTheProgramToTheDesktopShell)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    const std::wstring helper = PackedPath(L"StartAsUser.exe", Arch::X86);
    EXPECT_EQ(RunToTheEnd(L"\"" + helper + L"\" \"" + InstalledPath(L"Tabvisor.exe") + L"\""), 0u);
    HWND panel = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (panel = ::FindWindowW(L"#32770", L"Tabvisor")) != nullptr; }));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(panel, &processId);
    EXPECT_EQ(ParentProgramOf(processId), L"explorer.exe");
    ::PostMessageW(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([] { return ::FindWindowW(L"#32770", L"Tabvisor") == nullptr; }));
}

// The finish page's start while Tabvisor runs (as it does when the setup updated nothing but the
// libraries, or the user started it meanwhile): the running one shows its panel, and no second
// panel comes.
TEST_F(Installer, TheFinishPagesStartWhileTabvisorRunsShowsTheRunningPanelInsteadOfASecond)
{
    ASSERT_EQ(RunSetupSilently(), 0u);
    TestTablet tablet;
    const SimulatedStandIns standIns;
    InstalledProgram program;
    ASSERT_NE(program.Panel(), nullptr);
    const std::wstring helper = PackedPath(L"StartAsUser.exe", Arch::X86);
    EXPECT_EQ(RunToTheEnd(L"\"" + helper + L"\" \"" + InstalledPath(L"Tabvisor.exe") + L"\""), 0u);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(program.Panel()) != FALSE; }));
    EXPECT_EQ(PanelsOnTheDesktop(), 1);
    EXPECT_EQ(tablet.Number("task_calls"), 1);
    EXPECT_EQ(program.Close(), 0u);
}

} // namespace
