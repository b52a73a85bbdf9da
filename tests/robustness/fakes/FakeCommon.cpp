// A common.dll whose volume reads store NaN, infinities, huge values or nothing at all, and whose
// calls fail with the codes the test chose.
#include <cwchar>

#include "ClosedLibraries.h"
#include "FakeControl.h"

using namespace fake_library;

extern "C" int TABVISOR_LIBRARY_CALL VolumeVista(int operation, int reserved, float* scalar)
{
    const int result = static_cast<int>(NumberVariable(kVolumeResultVariable, 0x80004005ul));  // E_FAIL
    if (operation == closed_libraries::kVolumeRead) {
        const std::wstring volume = Variable(kVolumeVariable);
        if (scalar != nullptr && volume != L"unwritten")
            *scalar = std::wcstof(volume.c_str(), nullptr);
        Log("read %d", reserved);
    } else {
        Log("write %d %.6g", operation, scalar != nullptr ? static_cast<double>(*scalar) : -1.0);
    }
    return result;
}

extern "C" int TABVISOR_LIBRARY_CALL AddTask7EveryBoot(int kind, const wchar_t* name, const wchar_t* program, const wchar_t*, const wchar_t*)
{
    Log("task %d %ls %ls", kind, name != nullptr ? name : L"(null)", program != nullptr ? program : L"(null)");
    return static_cast<int>(NumberVariable(kTaskResultVariable, 0x80070005ul));  // E_ACCESSDENIED
}
