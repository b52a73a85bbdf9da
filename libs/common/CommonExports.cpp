// common.dll: the master volume and the start-up task, on the simulated tablet or the system.
#include "BackgroundQueue.h"
#include "ClosedLibraries.h"
#include "LogonTask.h"
#include "SystemVolume.h"
#include "TabletOperations.h"
#include "TabletProblemResult.h"
#include "TabletSelection.h"
#include "TaskRequestCheck.h"

using tabvisor::simulated::Counters;
using tabvisor::simulated::ProblemAsResult;
using tabvisor::simulated::SimulatedTabletFromEnvironment;
using tabvisor::simulated::TabletProblem;
using tabvisor::simulated::TabletState;

namespace {

HRESULT SystemVolumeCall(int operation, float* scalar)
{
    if (!scalar) return E_POINTER;
    auto& volume = tabvisor::audio::SystemVolume::Instance();
    if (operation == closed_libraries::kVolumeWrite)
        return tabvisor::simulated::IsVolumeScalar(*scalar) ? volume.Write(*scalar) : E_INVALIDARG;
    float value = 0.0f;
    const HRESULT result = volume.Read(value);
    if (SUCCEEDED(result)) *scalar = value;
    return result;
}

tabvisor::BackgroundQueue& TaskQueue()
{
    static auto* queue = new tabvisor::BackgroundQueue();
    return *queue;
}

} // namespace

extern "C" int TABVISOR_LIBRARY_CALL VolumeVista(int operation, int /*reserved*/, float* scalar)
{
    using namespace closed_libraries;
    if (operation != kVolumeRead && operation != kVolumeWrite) return E_INVALIDARG;
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) return SystemVolumeCall(operation, scalar);

    HRESULT result = S_OK;
    // The program reads ten times a second: the simulated tablet answers without its lock.
    if (operation == kVolumeRead && scalar != nullptr) {
        float read = 0.0f;
        const TabletProblem problem =
            tablet->Read([&](const TabletState& state) { return PeekVolume(state, read); }, &Counters::volumeReads);
        if (problem != TabletProblem::None) return ProblemAsResult(problem);
        *scalar = read;
        return S_OK;
    }
    const TabletProblem problem = tablet->Use([&](TabletState& state) {
        if (operation == kVolumeRead) result = ReadVolume(state, scalar) ? S_OK : E_POINTER;
        else result = WriteVolume(state, scalar) ? S_OK : (scalar ? E_INVALIDARG : E_POINTER);
    });
    return problem == TabletProblem::None ? result : ProblemAsResult(problem);
}

extern "C" int TABVISOR_LIBRARY_CALL AddTask7EveryBoot(int kind, const wchar_t* name, const wchar_t* program, const wchar_t* author,
                                 const wchar_t* description)
{
    tabvisor::TaskRequest request;
    const HRESULT check = tabvisor::tasks::CheckTaskRequest(kind, name, program, author, description, request);
    const auto tablet = SimulatedTabletFromEnvironment();
    if (!tablet) {
        if (FAILED(check)) return check;
        TaskQueue().Post([request = std::move(request)] { tabvisor::tasks::RegisterLogonTaskPatiently(request); });
        return S_OK;
    }
    const TabletProblem problem =
        tablet->Use([&](TabletState& state) { RegisterTask(state, SUCCEEDED(check) ? &request : nullptr); });
    return problem == TabletProblem::None ? check : ProblemAsResult(problem);
}
