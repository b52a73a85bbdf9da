// The binding to the maker's libraries: only from the program's folder; a missing library or
// export switches off only its own entry points; and every call works whichever calling
// convention the library was built with.
#include <gtest/gtest.h>

#include <string>

#include "ModulePaths.h"
#include "TabletLibraries.h"
#include "TestTablet.h"

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

TEST(TabletLibraries, ALibraryOnlyInTheWorkingFolderIsNotLoaded)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tv-planted-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring planted = folder + L"\\planted-pm.dll";
    ASSERT_TRUE(::CopyFileW((afx::ProgramFolder() + L"\\PM.dll").c_str(), planted.c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(folder.c_str());

    const PowerLibrary power = BindPowerManagement(L"planted-pm.dll");
    EXPECT_EQ(power.queryCurrentBrightnessLevel, nullptr);
    EXPECT_EQ(power.setBrightnessLevel, nullptr);

    ::SetCurrentDirectoryW(previous);
    ::DeleteFileW(planted.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// Every export, called through the binding many times: a call through the wrong convention moves
// the caller's stack by its arguments each time, and a loop of them crashes or spoils locals.
void ExerciseEveryExport(const std::wstring& folder, TestTablet& tablet)
{
    const WinIoLibrary winio = BindWinIo((folder + L"WINIO.dll").c_str());
    const PowerLibrary power = BindPowerManagement((folder + L"PM.dll").c_str());
    const CommonLibrary common = BindCommon((folder + L"common.dll").c_str());
    ASSERT_TRUE(winio.Complete());
    ASSERT_TRUE(power.queryCurrentBrightnessLevel && power.setBrightnessLevel);
    ASSERT_TRUE(common.volumeVista && common.addTask7EveryBoot);

    tablet.SetSwitches(0x5A);
    int failures = 0;
    for (unsigned round = 0; round < 300; ++round) {
        const unsigned level = round % 8;
        failures += power.setBrightnessLevel(level) != 1u;
        failures += power.setBrightnessLevel(8) != 0u;
        failures += power.queryCurrentBrightnessLevel() != level;

        float scalar = static_cast<float>(round % 101) / 100.0f;
        failures += common.volumeVista(closed_libraries::kVolumeWrite, 0, &scalar) != S_OK;
        float back = -1.0f;
        failures += common.volumeVista(closed_libraries::kVolumeRead, 0, &back) != S_OK;
        failures += back != scalar;
        failures += common.volumeVista(99, 0, &back) != E_INVALIDARG;

        failures += !winio.initializeWinIo();
        DWORD value = 0xFFFFFFFF;
        failures += !winio.setPortVal(0x6C, 0x11, 1);        // read command, acknowledged at once
        failures += !winio.getPortVal(0x68, &value, 1) || value != 0xFA;
        failures += !winio.setPortVal(0x360, 0, 1);
        failures += !winio.getPortVal(0x361, &value, 1) || value != 0x5A;
        failures += winio.getPortVal(0x361, &value, 2);      // size 2 is refused: false in AL
        failures += !winio.shutdownWinIo();
        failures += winio.shutdownWinIo();                   // nothing open any more
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(common.addTask7EveryBoot(closed_libraries::kTaskKindAtLogon, L"Tabvisor", L"C:\\T.exe", L"Q", L"D"),
              S_OK);
    EXPECT_EQ(tablet.Field("task_program"), "C:\\T.exe");
    EXPECT_EQ(common.addTask7EveryBoot(2, L"Tabvisor", L"C:\\T.exe", nullptr, nullptr), E_INVALIDARG);
}

TEST(TabletLibraries, EveryExportWorksThroughTheBindingWhicheverConventionTheLibraryUses)
{
    TestTablet tablet;
    const std::wstring bin = afx::ProgramFolder() + L"\\";
    // Our own stand-ins: __stdcall on x86, as the maker's port library.
    ExerciseEveryExport(bin, tablet);
#if defined(__i386__)
    ExerciseEveryExport(bin + L"cdecl\\", tablet);
#endif
}

} // namespace
