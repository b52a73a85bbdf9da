// Keeps the DLL that contains the caller loaded until the process ends.
#pragma once
#include <windows.h>

namespace tabvisor {

// For DLLs that start threads or hand callbacks to the system: FreeLibrary must not unmap code
// that is still running or may still be called.
inline void PinThisModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinThisModule), &self);
}

} // namespace tabvisor
