// The program's one way to the tablet maker's three libraries. Each library is loaded from the
// program's own folder, by full path, on first use and kept; an entry point that is missing, or
// a library that is missing altogether, leaves just that entry empty, and its callers do without
// it. Every entry is a ForeignFunction: safe to call whichever calling convention the library
// was built with. Each entry's signature is the export's declaration in ClosedLibraries.h.
#pragma once

#include <windows.h>

#include "ClosedLibraries.h"
#include "ForeignFunction.h"

#include <type_traits>

// The entry point of the export `Export`, called safely.
template <auto& Export>
using ForeignExport = ForeignFunction<closed_libraries::SignatureOf<std::remove_reference_t<decltype(Export)>>>;

struct WinIoLibrary {
    ForeignExport<InitializeWinIo> initializeWinIo;
    ForeignExport<ShutdownWinIo> shutdownWinIo;
    ForeignExport<GetPortVal> getPortVal;
    ForeignExport<SetPortVal> setPortVal;
    // Port access needs all four.
    bool Complete() const { return initializeWinIo && shutdownWinIo && getPortVal && setPortVal; }
};

struct PowerLibrary {
    ForeignExport<QueryCurrentBrightnessLevel> queryCurrentBrightnessLevel;
    ForeignExport<SetBrightnessLevel> setBrightnessLevel;
};

struct CommonLibrary {
    ForeignExport<VolumeVista> volumeVista;
    ForeignExport<AddTask7EveryBoot> addTask7EveryBoot;
};

const WinIoLibrary& WinIo();
const PowerLibrary& PowerManagement();
const CommonLibrary& Common();

// Binds a library from an explicit file, for tests that need a missing, partial or differently
// built library: a bare file name is taken from the program's folder.
WinIoLibrary BindWinIo(const wchar_t* file);
PowerLibrary BindPowerManagement(const wchar_t* file);
CommonLibrary BindCommon(const wchar_t* file);
