// PM.dll: the display brightness as levels 0 to 7, from the simulated tablet (simulated build
// only) or from the system.
#include "ClosedLibraries.h"
#include "ExportGuard.h"
#include "SystemBrightness.h"
#include "TabletSimulation.h"

using closed_libraries::kMaxBrightnessLevel;
using tabvisor::ResultOrFailure;
using tabvisor::brightness::SystemBrightness;
namespace simulation = tabvisor::simulation;

extern "C" unsigned int TABVISOR_LIBRARY_CALL QueryCurrentBrightnessLevel() noexcept
{
    return ResultOrFailure(kMaxBrightnessLevel, [] {
        if (const auto simulated = simulation::QueryCurrentBrightnessLevel()) return *simulated;
        return SystemBrightness::Instance().CurrentLevel();
    });
}

extern "C" unsigned int TABVISOR_LIBRARY_CALL SetBrightnessLevel(unsigned int level) noexcept
{
    return ResultOrFailure(0u, [level] {
        if (const auto simulated = simulation::SetBrightnessLevel(level)) return *simulated;
        return SystemBrightness::Instance().RequestLevel(level) ? 1u : 0u;
    });
}
