// Run-time binding of WINIO.dll, PM.dll and common.dll from the program's folder.
#include "TabletLibraries.h"

#include "ModulePaths.h"

namespace {

template <class Function>
Function Entry(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    return Function(::GetProcAddress(module, name));
}

} // namespace

WinIoLibrary BindWinIo(const wchar_t* file)
{
    // Libraries stay loaded for the process: their entry points are used until the end.
    HMODULE module = afx::LoadProgramLibrary(file);
    WinIoLibrary lib;
    lib.initializeWinIo = Entry<decltype(lib.initializeWinIo)>(module, "InitializeWinIo");
    lib.shutdownWinIo = Entry<decltype(lib.shutdownWinIo)>(module, "ShutdownWinIo");
    lib.getPortVal = Entry<decltype(lib.getPortVal)>(module, "GetPortVal");
    lib.setPortVal = Entry<decltype(lib.setPortVal)>(module, "SetPortVal");
    return lib;
}

PowerLibrary BindPowerManagement(const wchar_t* file)
{
    HMODULE module = afx::LoadProgramLibrary(file);
    PowerLibrary lib;
    lib.queryCurrentBrightnessLevel =
        Entry<decltype(lib.queryCurrentBrightnessLevel)>(module, "QueryCurrentBrightnessLevel");
    lib.setBrightnessLevel = Entry<decltype(lib.setBrightnessLevel)>(module, "SetBrightnessLevel");
    return lib;
}

CommonLibrary BindCommon(const wchar_t* file)
{
    HMODULE module = afx::LoadProgramLibrary(file);
    CommonLibrary lib;
    lib.volumeVista = Entry<decltype(lib.volumeVista)>(module, "VolumeVista");
    lib.addTask7EveryBoot = Entry<decltype(lib.addTask7EveryBoot)>(module, "AddTask7EveryBoot");
    return lib;
}

const WinIoLibrary& WinIo()
{
    static const WinIoLibrary lib = BindWinIo(closed_libraries::kWinIoLibrary);
    return lib;
}

const PowerLibrary& PowerManagement()
{
    static const PowerLibrary lib = BindPowerManagement(closed_libraries::kPowerLibrary);
    return lib;
}

const CommonLibrary& Common()
{
    static const CommonLibrary lib = BindCommon(closed_libraries::kCommonLibrary);
    return lib;
}
