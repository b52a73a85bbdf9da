// WINIO.dll: one-byte port access. On the simulated tablet the ports reach its embedded
// controller model; on a real system there is no port driver, so access is never granted.
#include "ClosedLibraries.h"
#include "TabletOperations.h"
#include "TabletSelection.h"

using tabvisor::simulated::SimulatedTabletFromEnvironment;
using tabvisor::simulated::TabletProblem;
using tabvisor::simulated::TabletState;

namespace {

constexpr BYTE kOneByte = 1;

} // namespace

extern "C" bool InitializeWinIo()
{
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool granted = false;
    tablet->Use([&](TabletState& state) { granted = OpenPortWindow(state); });
    return granted;
}

extern "C" bool ShutdownWinIo()
{
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool wasOpen = false;
    tablet->Use([&](TabletState& state) { wasOpen = ClosePortWindow(state); });
    return wasOpen;
}

extern "C" bool GetPortVal(WORD port, PDWORD value, BYTE size)
{
    if (!value || size != kOneByte) return false;
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool done = false;
    uint8_t byte = 0;
    tablet->Use([&](TabletState& state) { done = ReadPort(state, port, byte); });
    if (done) *value = byte;
    return done;
}

extern "C" bool SetPortVal(WORD port, DWORD value, BYTE size)
{
    if (size != kOneByte) return false;
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return false;
    bool done = false;
    tablet->Use([&](TabletState& state) { done = WritePort(state, port, static_cast<uint8_t>(value & 0xFF)); });
    return done;
}
