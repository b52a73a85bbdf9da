// The DPI of a window, from the newest call the running Windows has.
#include "DisplayScale.h"

#include "Handles.h"

namespace afx {

UINT WindowDpi(HWND hwnd)
{
    // user32 is loaded in every process with a window; the entry is looked up once.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi != 0)
            return dpi;
    }
    unique_window_dc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kLayoutDpi;
}

} // namespace afx
