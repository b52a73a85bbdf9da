// Late-bound layered-window entry points.
#include "LayeredWindow.h"

#include "Handles.h"
#include "ModulePaths.h"

namespace {

template <class Fn>
Fn FetchUser32Entry(afx::unique_hmodule& module, const char* name)
{
    module.reset(afx::LoadSystemLibrary(L"User32.dll"));
    if (!module)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
}

} // namespace

bool UpdateLayeredWindowByName(HWND hwnd, HDC destination, POINT* position, SIZE* size, HDC source,
                               POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    using UpdateFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    afx::unique_hmodule module;
    auto update = FetchUser32Entry<UpdateFn>(module, "UpdateLayeredWindow");
    if (update == nullptr)
        return false;
    return update(hwnd, destination, position, size, source, sourcePoint, key, blend, flags) != FALSE;
}

bool SetLayeredWindowAttributesByName(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags)
{
    using SetAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    afx::unique_hmodule module;
    auto setAttributes = FetchUser32Entry<SetAttributesFn>(module, "SetLayeredWindowAttributes");
    if (setAttributes == nullptr)
        return false;
    return setAttributes(hwnd, key, alpha, flags) != FALSE;
}
