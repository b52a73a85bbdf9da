// The state file of a simulated tablet: created when missing or empty, left alone and reported
// when damaged or foreign, repaired by a reset, and shared between mappings.
#include "LibsTestSupport.h"
#include "SimulatedTablet.h"
#include "TabletOperations.h"
#include "TabletSelection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tabvisor::simulated;
using tabvisor::testing::TempTabletFile;

namespace {

void WriteBytes(const std::wstring& path, const std::vector<char>& bytes)
{
    tabvisor::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::vector<char> ReadBytes(const std::wstring& path)
{
    tabvisor::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<char> bytes(64 * 1024);
    DWORD read = 0;
    if (file) ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
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

TEST(TabletFile, TwoMappingsSeeEachOthersChangesAtOnce)
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
