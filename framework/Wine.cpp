// The one look-up that tells Wine from Windows.
#include "Wine.h"

#include <windows.h>

namespace afx {

bool RunningUnderWine() noexcept
{
    static const bool underWine = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return underWine;
}

} // namespace afx
