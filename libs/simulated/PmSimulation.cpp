// PM.dll on the simulated tablet: its brightness level, 7 while the tablet cannot be used.
#include "ClosedLibraries.h"
#include "TabletOperations.h"
#include "TabletSelection.h"
#include "TabletSimulation.h"

namespace tabvisor::simulation {

using simulated::TabletProblem;
using simulated::TabletState;

std::optional<unsigned int> QueryCurrentBrightnessLevel()
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    unsigned int level = closed_libraries::kMaxBrightnessLevel;
    unsigned int read = level;
    if (tablet->Use([&](TabletState& state) { read = QueryBrightness(state); }) == TabletProblem::None) level = read;
    return level;
}

std::optional<unsigned int> SetBrightnessLevel(unsigned int level)
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    bool accepted = false;
    tablet->Use([&](TabletState& state) { accepted = SetBrightness(state, level); });
    return accepted ? 1u : 0u;
}

} // namespace tabvisor::simulation
