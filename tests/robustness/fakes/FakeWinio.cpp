// A WINIO.dll that hands every call to the real one beside it (copied there as winio_real.dll),
// except the port calls the test chose to break: every Nth write to the data port refused, the
// write command refused, or the data port reading 0xFF as a bus with nothing on it. Refused calls
// never reach the real library, so the simulated tablet's log shows only what got through.
#include <string>

#include "ClosedLibraries.h"
#include "FakeControl.h"

using namespace fake_library;

namespace {

constexpr WORD kCommandPort = 0x6C;
constexpr WORD kDataPort = 0x361;
constexpr DWORD kWriteCommand = 0x12;

struct RealWinIo {
    PFN_InitializeWinIo initialize = nullptr;
    PFN_ShutdownWinIo shutdown = nullptr;
    PFN_GetPortVal get = nullptr;
    PFN_SetPortVal set = nullptr;
};

template <class Function>
Function Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const RealWinIo& Real()
{
    static const RealWinIo real = [] {
        HMODULE self = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&Real), &self);
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(self, path, MAX_PATH);
        std::wstring file(path);
        file = file.substr(0, file.find_last_of(L"\\/") + 1) + kRealWinIoFile;
        RealWinIo found;
        if (HMODULE module = ::LoadLibraryW(file.c_str())) {
            found.initialize = Entry<PFN_InitializeWinIo>(module, "InitializeWinIo");
            found.shutdown = Entry<PFN_ShutdownWinIo>(module, "ShutdownWinIo");
            found.get = Entry<PFN_GetPortVal>(module, "GetPortVal");
            found.set = Entry<PFN_SetPortVal>(module, "SetPortVal");
        }
        return found;
    }();
    return real;
}

unsigned long g_dataWrites = 0;

} // namespace

extern "C" bool TABVISOR_LIBRARY_CALL InitializeWinIo() noexcept { return Real().initialize && Real().initialize(); }

extern "C" bool TABVISOR_LIBRARY_CALL ShutdownWinIo() noexcept { return Real().shutdown && Real().shutdown(); }

extern "C" bool TABVISOR_LIBRARY_CALL GetPortVal(WORD port, PDWORD value, BYTE size) noexcept
{
    if (!Real().get || !Real().get(port, value, size))
        return false;
    if (port == kDataPort && NumberVariable(kDataReadsFloatVariable, 0) != 0) {
        Log("floated in 0x361 0x%02lX", *value & 0xFF);
        *value = 0xFF;
    }
    return true;
}

extern "C" bool TABVISOR_LIBRARY_CALL SetPortVal(WORD port, DWORD value, BYTE size) noexcept
{
    if (port == kDataPort) {
        const unsigned long every = NumberVariable(kFailDataWriteEveryVariable, 0);
        if (every != 0 && ++g_dataWrites % every == 0) {
            Log("refused out 0x361 0x%02lX", value & 0xFF);
            return false;
        }
    }
    if (port == kCommandPort && value == kWriteCommand && NumberVariable(kFailWriteCommandVariable, 0) != 0) {
        Log("refused out 0x6C 0x12");
        return false;
    }
    return Real().set && Real().set(port, value, size);
}
