// The state file of a simulated tablet: created when missing or empty, left alone and reported
// when damaged or foreign, repaired by a reset, shared between users, damaged when it is emptied
// or cut short from the Unix side while in use, and followed when it is deleted.
#include "LibsTestSupport.h"
#include "SimulatedTablet.h"
#include "TabletOperations.h"
#include "TabletSelection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tabvisor::simulated;
using tabvisor::testing::RunningUnderWine;
using tabvisor::testing::RunUnixShell;
using tabvisor::testing::TempTabletFile;
using tabvisor::testing::UnixPathOf;

namespace {

void WriteBytes(const std::wstring& path, const std::vector<char>& bytes)
{
    afx::unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::vector<char> ReadBytes(const std::wstring& path)
{
    afx::unique_hfile file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<char> bytes(64 * 1024);
    DWORD read = 0;
    if (file) ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::vector<char> FreshTabletBytes()
{
    std::vector<char> bytes(sizeof(TabletState));
    MakeFreshTablet(*reinterpret_cast<TabletState*>(bytes.data()));
    return bytes;
}

unsigned int Brightness(SimulatedTablet& tablet, TabletProblem* problem = nullptr)
{
    unsigned int level = 99;
    const TabletProblem result = tablet.Use([&](TabletState& state) { level = state.brightness; });
    if (problem) *problem = result;
    return level;
}

TEST(TabletFile, MissingOrEmptyFileBecomesAFreshTablet)
{
    TempTabletFile missing;
    SimulatedTablet fromMissing(missing.Path());
    EXPECT_EQ(Brightness(fromMissing), kFreshBrightness);
    EXPECT_EQ(ReadBytes(missing.Path()).size(), sizeof(TabletState));

    TempTabletFile empty;
    WriteBytes(empty.Path(), {});
    SimulatedTablet fromEmpty(empty.Path());
    EXPECT_EQ(Brightness(fromEmpty), kFreshBrightness);
}

TEST(TabletFile, DamagedOrForeignFilesAreReportedAndLeftUntouchedUntilReset)
{
    std::vector<std::vector<char>> damaged;
    damaged.push_back(std::vector<char>(100, 'x')); // too short
    damaged.push_back(std::vector<char>(sizeof(TabletState), 'x')); // no magic
    auto otherVersion = FreshTabletBytes();
    reinterpret_cast<TabletState*>(otherVersion.data())->header.version = kTabletStateVersion + 1;
    damaged.push_back(otherVersion);
    auto longer = FreshTabletBytes();
    reinterpret_cast<TabletState*>(longer.data())->header.size += 64; // a larger layout of the same version
    longer.resize(longer.size() + 64);
    damaged.push_back(longer);

    for (const auto& bytes : damaged) {
        TempTabletFile file;
        WriteBytes(file.Path(), bytes);
        SimulatedTablet tablet(file.Path());
        TabletProblem problem = TabletProblem::None;
        EXPECT_EQ(Brightness(tablet, &problem), 99u) << "the action must not run";
        EXPECT_EQ(problem, TabletProblem::NotATablet);
        EXPECT_EQ(ReadBytes(file.Path()), bytes) << "a damaged file is not rewritten by use";

        EXPECT_EQ(tablet.Reset(), TabletProblem::None);
        EXPECT_EQ(Brightness(tablet, &problem), kFreshBrightness);
        EXPECT_EQ(problem, TabletProblem::None);
        EXPECT_GE(ReadBytes(file.Path()).size(), sizeof(TabletState));
    }
}

TEST(TabletFile, AResetByAnotherUserIsPickedUpWithoutReopening)
{
    TempTabletFile file;
    WriteBytes(file.Path(), std::vector<char>(sizeof(TabletState), 0));
    SimulatedTablet program(file.Path());
    EXPECT_EQ(program.Use([](TabletState&) {}), TabletProblem::NotATablet);

    SimulatedTablet tool(file.Path());
    ASSERT_EQ(tool.Reset(), TabletProblem::None);
    tool.Use([](TabletState& state) { SetBrightnessElsewhere(state, 6); });
    EXPECT_EQ(Brightness(program), 6u);
}

TEST(TabletFile, TwoUsersSeeEachOthersChangesAtOnce)
{
    TempTabletFile file;
    SimulatedTablet first(file.Path());
    SimulatedTablet second(file.Path());
    first.Use([](TabletState& state) { SetSwitchesElsewhere(state, 0x5A); });
    uint8_t seen = 0;
    second.Use([&](TabletState& state) { seen = state.ec.switches; });
    EXPECT_EQ(seen, 0x5A);
}

TEST(TabletFile, FieldsLeftOutOfRangeAreRepairedBeforeUse)
{
    TempTabletFile file;
    auto bytes = FreshTabletBytes();
    auto* raw = reinterpret_cast<TabletState*>(bytes.data());
    raw->brightness = 0xFFFFFFFF;
    raw->ec.ackMode = static_cast<AckMode>(0xEE);
    std::fill(std::begin(raw->task.author), std::end(raw->task.author), L'a');
    WriteBytes(file.Path(), bytes);

    SimulatedTablet tablet(file.Path());
    size_t authorLength = 0;
    EXPECT_EQ(tablet.Use([&](TabletState& state) {
        EXPECT_EQ(QueryBrightness(state), 7u);
        EXPECT_EQ(state.ec.ackMode, AckMode::Now);
        authorLength = std::wcslen(state.task.author);
    }),
              TabletProblem::None);
    EXPECT_EQ(authorLength, kTaskAuthorCapacity - 1);
}

TEST(TabletFile, AFileThatCannotBeCreatedIsReportedNotCrashedOn)
{
    SimulatedTablet tablet(L"Q:\\no\\such\\folder\\x.tablet");
    TabletProblem problem = TabletProblem::None;
    Brightness(tablet, &problem);
    EXPECT_EQ(problem, TabletProblem::CannotOpen);
    EXPECT_EQ(tablet.Reset(), TabletProblem::CannotOpen);
}

// A shell command on the tablet file, its Unix path in single quotes.
std::string OnFile(const char* command, const TempTabletFile& file)
{
    return std::string(command) + " '" + UnixPathOf(file.Path()) + "'";
}

void SetBrightness(SimulatedTablet& tablet, unsigned int level)
{
    ASSERT_EQ(tablet.Use([&](TabletState& state) { SetBrightnessElsewhere(state, level); }), TabletProblem::None);
}

TEST(TabletFile, AFileEmptiedOrCutShortWhileInUseIsDamagedUntilAReset)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "the file is emptied and cut from the Unix side";
    TempTabletFile file;
    SimulatedTablet program(file.Path());
    SetBrightness(program, 6);

    for (const char* cut : {": >", "truncate -s 100"}) {
        SCOPED_TRACE(cut);
        ASSERT_TRUE(RunUnixShell(OnFile(cut, file)));
        const size_t length = ReadBytes(file.Path()).size();
        for (int call = 0; call < 2; ++call) {
            TabletProblem problem = TabletProblem::None;
            EXPECT_EQ(Brightness(program, &problem), 99u) << "the action must not run";
            EXPECT_EQ(problem, TabletProblem::NotATablet);
        }
        EXPECT_EQ(ReadBytes(file.Path()).size(), length) << "a damaged file is left as it is";

        ASSERT_EQ(SimulatedTablet(file.Path()).Reset(), TabletProblem::None);
        TabletProblem problem = TabletProblem::CannotOpen;
        EXPECT_EQ(Brightness(program, &problem), kFreshBrightness);
        EXPECT_EQ(problem, TabletProblem::None);
        SetBrightness(program, 6);
    }
}

TEST(TabletFile, AFileEmptiedInTheMiddleOfAUseStaysEmptyAndTheUseFailsCleanly)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "the file is emptied from the Unix side";
    TempTabletFile file;
    SimulatedTablet program(file.Path());
    SetBrightness(program, 6);
    unsigned int before = 0;
    bool emptied = false;
    const TabletProblem problem = program.Use([&](TabletState& state) {
        before = state.brightness;
        emptied = RunUnixShell(OnFile(": >", file));
        state.brightness = 2;
    });
    ASSERT_TRUE(emptied);
    EXPECT_EQ(problem, TabletProblem::NotATablet);
    EXPECT_EQ(before, 6u);
    EXPECT_EQ(ReadBytes(file.Path()).size(), 0u) << "the use wrote its state over the emptied file";
    TabletProblem next = TabletProblem::None;
    EXPECT_EQ(Brightness(program, &next), 99u);
    EXPECT_EQ(next, TabletProblem::NotATablet);
}

TEST(TabletFile, ADeletedFileIsLeftForTheFileNowAtItsPath)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "the file is deleted from the Unix side";
    TempTabletFile file;
    SimulatedTablet program(file.Path());
    SetBrightness(program, 6);

    // Deleted, and a new tablet made at the path by another user: both use the new one.
    ASSERT_TRUE(RunUnixShell(OnFile("rm", file)));
    SimulatedTablet tool(file.Path());
    SetBrightness(tool, 2);
    EXPECT_EQ(Brightness(program), 2u);
    SetBrightness(program, 4);
    EXPECT_EQ(Brightness(tool), 4u);

    // Deleted with nobody else about: the next use makes a fresh tablet at the path.
    ASSERT_TRUE(RunUnixShell(OnFile("rm", file)));
    EXPECT_EQ(Brightness(program), kFreshBrightness);
    EXPECT_EQ(ReadBytes(file.Path()).size(), sizeof(TabletState));
    EXPECT_EQ(Brightness(tool), kFreshBrightness);
}

TEST(TabletSelection, UnixPathsBecomeWindowsPathsUnderWineOnly)
{
    EXPECT_EQ(ResolveTabletPath(L"C:\\x.tablet"), L"C:\\x.tablet");
    EXPECT_EQ(ResolveTabletPath(L""), L"");
    const std::wstring converted = ResolveTabletPath(L"/tmp/x.tablet");
    if (tabvisor::testing::RunningUnderWine()) {
        EXPECT_NE(converted.find(L"\\tmp\\x.tablet"), std::wstring::npos) << std::string(converted.begin(), converted.end());
        EXPECT_NE(converted[0], L'/');
    } else {
        EXPECT_EQ(converted, L"/tmp/x.tablet");
    }
}

TEST(TabletSelection, FollowsTheVariableAndKeepsOneTabletPerValue)
{
    TempTabletFile file;
    {
        tabvisor::testing::ScopedVariable unset(L"TABVISOR_SIMULATED_TABLET", nullptr);
        EXPECT_EQ(SimulatedTabletFromEnvironment(), nullptr);
    }
    {
        tabvisor::testing::ScopedVariable empty(L"TABVISOR_SIMULATED_TABLET", L"");
        EXPECT_EQ(SimulatedTabletFromEnvironment(), nullptr);
    }
    tabvisor::testing::ScopedVariable set(L"TABVISOR_SIMULATED_TABLET", file.Path().c_str());
    const auto first = SimulatedTabletFromEnvironment();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Path(), file.Path());
    EXPECT_EQ(SimulatedTabletFromEnvironment(), first);
}

} // namespace
