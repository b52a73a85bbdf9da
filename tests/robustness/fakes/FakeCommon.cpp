// A common.dll whose volume reads store NaN, infinities, huge values or nothing at all, and whose
// calls fail with the codes the test chose; or, lagging, one that keeps a volume of its own and
// reports each write only a while after it; each call as slow, or as stuck, as the test asks.
#include <cwchar>

#include "ClosedLibraries.h"
#include "FakeControl.h"

using namespace fake_library;

namespace {

LaggingValue<float>& LaggingVolume()
{
    static LaggingValue<float> volume(std::wcstof(Variable(kVolumeVariable).c_str(), nullptr));
    return volume;
}

} // namespace

extern "C" int TABVISOR_LIBRARY_CALL VolumeVista(int operation, int reserved, float* scalar) noexcept
{
    TakeTheTimeAsked();
    const int result = static_cast<int>(NumberVariable(kVolumeResultVariable, 0x80004005ul));  // E_FAIL
    const ULONGLONG lag = NumberVariable(kLagVariable, 0);
    if (operation == closed_libraries::kVolumeRead) {
        const std::wstring volume = Variable(kVolumeVariable);
        if (scalar != nullptr && lag != 0)
            *scalar = LaggingVolume().Read(lag);
        else if (scalar != nullptr && volume != L"unwritten")
            *scalar = std::wcstof(volume.c_str(), nullptr);
        Log("read %d", reserved);
    } else {
        if (scalar != nullptr && lag != 0)
            LaggingVolume().Write(*scalar, lag);
        Log("write %d %.6g", operation, scalar != nullptr ? static_cast<double>(*scalar) : -1.0);
    }
    return result;
}

extern "C" int TABVISOR_LIBRARY_CALL AddTask7EveryBoot(int kind, const wchar_t* name, const wchar_t* program, const wchar_t*, const wchar_t*) noexcept
{
    TakeTheTimeAsked();
    Log("task %d %ls %ls", kind, name != nullptr ? name : L"(null)", program != nullptr ? program : L"(null)");
    return static_cast<int>(NumberVariable(kTaskResultVariable, 0x80070005ul));  // E_ACCESSDENIED
}
