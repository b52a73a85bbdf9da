// The program's one way to the tablet maker's three libraries. Each library is loaded from the
// program's own folder, by full path, on first use and kept; an entry point that is missing, or
// a library that is missing altogether, leaves just that entry empty, and its callers do without
// it. Every entry is a ForeignFunction: safe to call whichever calling convention the library
// was built with.
#pragma once

#include <windows.h>

#include "ClosedLibraries.h"
#include "ForeignFunction.h"

struct WinIoLibrary {
    ForeignFunction<bool()> initializeWinIo;
    ForeignFunction<bool()> shutdownWinIo;
    ForeignFunction<bool(WORD port, PDWORD value, BYTE size)> getPortVal;
    ForeignFunction<bool(WORD port, DWORD value, BYTE size)> setPortVal;
    // Port access needs all four.
    bool Complete() const { return initializeWinIo && shutdownWinIo && getPortVal && setPortVal; }
};

struct PowerLibrary {
    ForeignFunction<unsigned int()> queryCurrentBrightnessLevel;
    ForeignFunction<unsigned int(unsigned int level)> setBrightnessLevel;
};

struct CommonLibrary {
    ForeignFunction<int(int operation, int reserved, float* scalar)> volumeVista;
    ForeignFunction<int(int kind, const wchar_t* name, const wchar_t* program, const wchar_t* author,
                        const wchar_t* description)>
        addTask7EveryBoot;
};

const WinIoLibrary& WinIo();
const PowerLibrary& PowerManagement();
const CommonLibrary& Common();

// Binds a library from an explicit file, for tests that need a missing, partial or differently
// built library: a bare file name is taken from the program's folder.
WinIoLibrary BindWinIo(const wchar_t* file);
PowerLibrary BindPowerManagement(const wchar_t* file);
CommonLibrary BindCommon(const wchar_t* file);
