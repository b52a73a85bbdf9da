// The program's one way to the tablet maker's three libraries. Each library is loaded by name on
// first use and kept; an entry point that is missing, or a library that is missing altogether,
// leaves just that pointer null, and its callers do without it.
#pragma once

#include <windows.h>

#include "ClosedLibraries.h"

struct WinIoLibrary {
    PFN_InitializeWinIo initializeWinIo = nullptr;
    PFN_ShutdownWinIo shutdownWinIo = nullptr;
    PFN_GetPortVal getPortVal = nullptr;
    PFN_SetPortVal setPortVal = nullptr;
    // Port access needs all four.
    bool Complete() const { return initializeWinIo && shutdownWinIo && getPortVal && setPortVal; }
};

struct PowerLibrary {
    PFN_QueryCurrentBrightnessLevel queryCurrentBrightnessLevel = nullptr;
    PFN_SetBrightnessLevel setBrightnessLevel = nullptr;
};

struct CommonLibrary {
    PFN_VolumeVista volumeVista = nullptr;
    PFN_AddTask7EveryBoot addTask7EveryBoot = nullptr;
};

const WinIoLibrary& WinIo();
const PowerLibrary& PowerManagement();
const CommonLibrary& Common();

// Binds a library from an explicit file, for tests that need a missing or partial library.
WinIoLibrary BindWinIo(const wchar_t* file);
PowerLibrary BindPowerManagement(const wchar_t* file);
CommonLibrary BindCommon(const wchar_t* file);
