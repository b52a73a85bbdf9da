// The binding to the maker's libraries: a missing library or export switches off only its own
// entry points.
#include <gtest/gtest.h>

#include "TabletLibraries.h"

namespace {

TEST(TabletLibraries, AMissingLibraryLeavesEveryEntryPointOff)
{
    const CommonLibrary common = BindCommon(L"no-such-library.dll");
    EXPECT_EQ(common.volumeVista, nullptr);
    EXPECT_EQ(common.addTask7EveryBoot, nullptr);
    EXPECT_FALSE(BindWinIo(L"no-such-library.dll").Complete());
}

TEST(TabletLibraries, ALibraryWithoutAnExportLeavesJustThatEntryPointOff)
{
    // common.dll has none of the power library's exports, and the port library needs all four.
    const PowerLibrary power = BindPowerManagement(L"common.dll");
    EXPECT_EQ(power.queryCurrentBrightnessLevel, nullptr);
    EXPECT_EQ(power.setBrightnessLevel, nullptr);
    const WinIoLibrary winio = BindWinIo(L"PM.dll");
    EXPECT_FALSE(winio.Complete());
}

TEST(TabletLibraries, TheProgramsOwnLibrariesBindCompletely)
{
    EXPECT_TRUE(WinIo().Complete());
    EXPECT_NE(PowerManagement().queryCurrentBrightnessLevel, nullptr);
    EXPECT_NE(PowerManagement().setBrightnessLevel, nullptr);
    EXPECT_NE(Common().volumeVista, nullptr);
    EXPECT_NE(Common().addTask7EveryBoot, nullptr);
    // The same binding every time.
    EXPECT_EQ(&WinIo(), &WinIo());
}

} // namespace
