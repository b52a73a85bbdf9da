// WINIO.dll: one-byte port access. On the simulated tablet the ports reach its embedded
// controller model; on a real system there is no port driver, so access is never granted.
#include "ClosedLibraries.h"
#include "PortHolders.h"
#include "TabletOperations.h"
#include "TabletSelection.h"

using tabvisor::simulated::PortHolderHasEnded;
using tabvisor::simulated::SimulatedTabletFromEnvironment;
using tabvisor::simulated::TabletState;

namespace {

constexpr BYTE kOneByte = 1;

uint32_t ThisProcess()
{
    return GetCurrentProcessId();
}

} // namespace

extern "C" bool TABVISOR_LIBRARY_CALL InitializeWinIo()
{
    const auto tablet = SimulatedTabletFromEnvironment();
    // Without the mark others could not tell this process alive, and would take its slot.
    if (!tablet || !tabvisor::simulated::MarkThisProcessAsPortHolder()) return false;
    bool granted = false;
    tablet->Use([&](TabletState& state) {
        // Slots of processes that ended without ShutdownWinIo are freed when another process opens.
        ForgetPortUsers(state, [](uint32_t user) { return user != ThisProcess() && PortHolderHasEnded(user); });
        granted = OpenPortWindow(state, ThisProcess());
    });
    return granted;
}

extern "C" bool TABVISOR_LIBRARY_CALL ShutdownWinIo()
{
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool wasOpen = false;
    tablet->Use([&](TabletState& state) { wasOpen = ClosePortWindow(state, ThisProcess()); });
    return wasOpen;
}

extern "C" bool TABVISOR_LIBRARY_CALL GetPortVal(WORD port, PDWORD value, BYTE size)
{
    if (!value || size != kOneByte) return false;
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool done = false;
    uint8_t byte = 0;
    tablet->Use([&](TabletState& state) { done = ReadPort(state, ThisProcess(), port, byte); });
    if (done) *value = byte;
    return done;
}

extern "C" bool TABVISOR_LIBRARY_CALL SetPortVal(WORD port, DWORD value, BYTE size)
{
    if (size != kOneByte) return false;
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool done = false;
    tablet->Use([&](TabletState& state) { done = WritePort(state, ThisProcess(), port, static_cast<uint8_t>(value & 0xFF)); });
    return done;
}
