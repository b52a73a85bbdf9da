// common.dll on the simulated tablet: its master volume and the task it records; a tablet that
// cannot be used shows in the HRESULT (TabletProblemResult.h).
#include "ClosedLibraries.h"
#include "TabletOperations.h"
#include "TabletProblemResult.h"
#include "TabletSelection.h"
#include "TabletSimulation.h"

namespace tabvisor::simulation {

using simulated::ProblemAsResult;
using simulated::TabletProblem;
using simulated::TabletState;

std::optional<HRESULT> VolumeVista(int operation, float* scalar)
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    HRESULT result = S_OK;
    const TabletProblem problem = tablet->Use([&](TabletState& state) {
        if (operation == closed_libraries::kVolumeRead) result = ReadVolume(state, scalar) ? S_OK : E_POINTER;
        else result = WriteVolume(state, scalar) ? S_OK : (scalar ? E_INVALIDARG : E_POINTER);
    });
    return problem == TabletProblem::None ? result : ProblemAsResult(problem);
}

std::optional<HRESULT> AddTask7EveryBoot(HRESULT check, const TaskRequest& request)
{
    const auto tablet = simulated::SimulatedTabletFromEnvironment();
    if (!tablet) return std::nullopt;
    const TabletProblem problem =
        tablet->Use([&](TabletState& state) { RegisterTask(state, SUCCEEDED(check) ? &request : nullptr); });
    return problem == TabletProblem::None ? check : ProblemAsResult(problem);
}

} // namespace tabvisor::simulation
