// Run-time binding of WINIO.dll, PM.dll and common.dll with typed GetProcAddress.
#include "TabletLibraries.h"

namespace {

// Libraries stay loaded for the process: their entry points are used until the end.
HMODULE LoadKept(const wchar_t* file) { return ::LoadLibraryW(file); }

template <class Fn>
Fn Entry(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

WinIoLibrary BindWinIo(const wchar_t* file)
{
    HMODULE module = LoadKept(file);
    WinIoLibrary lib;
    lib.initializeWinIo = Entry<PFN_InitializeWinIo>(module, "InitializeWinIo");
    lib.shutdownWinIo = Entry<PFN_ShutdownWinIo>(module, "ShutdownWinIo");
    lib.getPortVal = Entry<PFN_GetPortVal>(module, "GetPortVal");
    lib.setPortVal = Entry<PFN_SetPortVal>(module, "SetPortVal");
    return lib;
}

PowerLibrary BindPowerManagement(const wchar_t* file)
{
    HMODULE module = LoadKept(file);
    PowerLibrary lib;
    lib.queryCurrentBrightnessLevel = Entry<PFN_QueryCurrentBrightnessLevel>(module, "QueryCurrentBrightnessLevel");
    lib.setBrightnessLevel = Entry<PFN_SetBrightnessLevel>(module, "SetBrightnessLevel");
    return lib;
}

CommonLibrary BindCommon(const wchar_t* file)
{
    HMODULE module = LoadKept(file);
    CommonLibrary lib;
    lib.volumeVista = Entry<PFN_VolumeVista>(module, "VolumeVista");
    lib.addTask7EveryBoot = Entry<PFN_AddTask7EveryBoot>(module, "AddTask7EveryBoot");
    return lib;
}

const WinIoLibrary& WinIo()
{
    static const WinIoLibrary lib = BindWinIo(L"WINIO.dll");
    return lib;
}

const PowerLibrary& PowerManagement()
{
    static const PowerLibrary lib = BindPowerManagement(L"PM.dll");
    return lib;
}

const CommonLibrary& Common()
{
    static const CommonLibrary lib = BindCommon(L"common.dll");
    return lib;
}
