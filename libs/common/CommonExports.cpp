// common.dll: the master volume and the start-up task, on the simulated tablet (simulated build
// only) or the system.
#include "BackgroundQueue.h"
#include "ClosedLibraries.h"
#include "ExportGuard.h"
#include "LogonTask.h"
#include "SystemVolume.h"
#include "TabletSimulation.h"
#include "TaskRequestCheck.h"

using tabvisor::HResultOrFailure;
namespace simulation = tabvisor::simulation;

namespace {

HRESULT SystemVolumeCall(int operation, float* scalar)
{
    if (!scalar) return E_POINTER;
    auto& volume = tabvisor::audio::SystemVolume::Instance();
    if (operation == closed_libraries::kVolumeWrite)
        return closed_libraries::IsVolumeScalar(*scalar) ? volume.Write(*scalar) : E_INVALIDARG;
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

extern "C" int TABVISOR_LIBRARY_CALL VolumeVista(int operation, int /*reserved*/, float* scalar) noexcept
{
    using namespace closed_libraries;
    if (operation != kVolumeRead && operation != kVolumeWrite) return E_INVALIDARG;
    return HResultOrFailure([&] {
        if (const auto simulated = simulation::VolumeVista(operation, scalar)) return *simulated;
        return SystemVolumeCall(operation, scalar);
    });
}

extern "C" int TABVISOR_LIBRARY_CALL AddTask7EveryBoot(int kind, const wchar_t* name, const wchar_t* program,
                                                       const wchar_t* author, const wchar_t* description) noexcept
{
    return HResultOrFailure([&] {
        tabvisor::TaskRequest request;
        const HRESULT check = tabvisor::tasks::CheckTaskRequest(kind, name, program, author, description, request);
        if (const auto simulated = simulation::AddTask7EveryBoot(check, request)) return *simulated;
        if (FAILED(check)) return check;
        TaskQueue().Post([request = std::move(request)] { tabvisor::tasks::RegisterLogonTaskPatiently(request); });
        return S_OK;
    });
}
