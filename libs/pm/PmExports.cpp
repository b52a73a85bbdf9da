// PM.dll: the display brightness as levels 0 to 7, from the simulated tablet or from the system.
#include "ClosedLibraries.h"
#include "SystemBrightness.h"
#include "TabletOperations.h"
#include "TabletSelection.h"

using tabvisor::brightness::SystemBrightness;
using tabvisor::simulated::Counters;
using tabvisor::simulated::SimulatedTabletFromEnvironment;
using tabvisor::simulated::TabletState;

// The program asks ten times a second: the simulated tablet answers without its lock.
extern "C" unsigned int TABVISOR_LIBRARY_CALL QueryCurrentBrightnessLevel()
{
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return SystemBrightness::Instance().CurrentLevel();
    unsigned int level = SystemBrightness::kUncontrolledLevel;
    unsigned int read = level;
    if (tablet->Read([&](const TabletState& state) { return PeekBrightness(state, read); },
                     &Counters::brightnessQueries) == tabvisor::simulated::TabletProblem::None)
        level = read;
    return level;
}

extern "C" unsigned int TABVISOR_LIBRARY_CALL SetBrightnessLevel(unsigned int level)
{
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return SystemBrightness::Instance().RequestLevel(level) ? 1 : 0;
    bool accepted = false;
    tablet->Use([&](TabletState& state) { accepted = SetBrightness(state, level); });
    return accepted ? 1 : 0;
}
