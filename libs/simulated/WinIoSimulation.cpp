// WINIO.dll on the simulated tablet: the ports reach its embedded controller model, with access
// owned by the process that opened it.
#include "PortHolders.h"
#include "TabletOperations.h"
#include "TabletSelection.h"
#include "TabletSimulation.h"

namespace tabvisor::simulation {
namespace {

using simulated::TabletProblem;
using simulated::TabletState;

uint32_t ThisProcess() { return GetCurrentProcessId(); }

// Runs a port call on the selected tablet: false when the tablet cannot be used.
template <class Call>
std::optional<bool> OnTablet(Call&& call)
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    bool done = false;
    if (tablet->Use([&](TabletState& state) { done = call(state); }) != TabletProblem::None) return false;
    return done;
}

} // namespace

std::optional<bool> InitializeWinIo()
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    // Without the mark others could not tell this process alive, and would take its slot.
    if (!simulated::MarkThisProcessAsPortHolder()) return false;
    return OnTablet([](TabletState& state) {
        // Slots of processes that ended without ShutdownWinIo are freed when another process opens.
        ForgetPortUsers(state, [](uint32_t user) { return user != ThisProcess() && simulated::PortHolderHasEnded(user); });
        return OpenPortWindow(state, ThisProcess());
    });
}

std::optional<bool> ShutdownWinIo()
{
    return OnTablet([](TabletState& state) { return ClosePortWindow(state, ThisProcess()); });
}

std::optional<bool> GetPortVal(WORD port, DWORD& value)
{
    uint8_t byte = 0;
    const std::optional<bool> done = OnTablet([&](TabletState& state) { return ReadPort(state, ThisProcess(), port, byte); });
    if (done.value_or(false)) value = byte;
    return done;
}

std::optional<bool> SetPortVal(WORD port, DWORD value)
{
    return OnTablet([&](TabletState& state) {
        return WritePort(state, ThisProcess(), port, static_cast<uint8_t>(value & 0xFF));
    });
}

} // namespace tabvisor::simulation
