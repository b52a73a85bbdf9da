// Import-table patching for the GDI census.
#include "GdiCensus.h"

#include <cstring>
#include <map>
#include <string>

namespace {

enum class Kind { Bitmap, Brush, Pen, Font, Region, MemoryDc, WindowDc, Other };

std::map<HANDLE, Kind>& Alive()
{
    static std::map<HANDLE, Kind> alive;
    return alive;
}

template <class H>
H Track(H handle, Kind kind)
{
    if (handle != nullptr)
        Alive()[reinterpret_cast<HANDLE>(handle)] = kind;
    return handle;
}

void Forget(HANDLE handle) { Alive().erase(handle); }

Kind KindOf(HGDIOBJ object)
{
    switch (::GetObjectType(object)) {
    case OBJ_BITMAP: return Kind::Bitmap;
    case OBJ_BRUSH: return Kind::Brush;
    case OBJ_PEN: return Kind::Pen;
    case OBJ_FONT: return Kind::Font;
    case OBJ_REGION: return Kind::Region;
    default: return Kind::Other;
    }
}

// The real entry points, saved when the wrappers replace them.
struct Real {
    decltype(&::CreateCompatibleDC) createCompatibleDC;
    decltype(&::DeleteDC) deleteDC;
    decltype(&::CreateCompatibleBitmap) createCompatibleBitmap;
    decltype(&::CreateBitmap) createBitmap;
    decltype(&::CreateDIBSection) createDIBSection;
    decltype(&::CreateSolidBrush) createSolidBrush;
    decltype(&::CreatePen) createPen;
    decltype(&::CreateRectRgn) createRectRgn;
    decltype(&::CreateFontIndirectW) createFontIndirectW;
    decltype(&::DeleteObject) deleteObject;
    decltype(&::LoadImageW) loadImageW;
    decltype(&::LoadImageA) loadImageA;
    decltype(&::LoadBitmapW) loadBitmapW;
    decltype(&::GetDC) getDC;
    decltype(&::GetWindowDC) getWindowDC;
    decltype(&::ReleaseDC) releaseDC;
} real;

HDC WINAPI CountedCreateCompatibleDC(HDC dc) { return Track(real.createCompatibleDC(dc), Kind::MemoryDc); }
BOOL WINAPI CountedDeleteDC(HDC dc)
{
    const BOOL done = real.deleteDC(dc);
    if (done)
        Forget(dc);
    return done;
}
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC dc, int w, int h)
{
    return Track(real.createCompatibleBitmap(dc, w, h), Kind::Bitmap);
}
HBITMAP WINAPI CountedCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data)
{
    return Track(real.createBitmap(w, h, planes, bits, data), Kind::Bitmap);
}
HBITMAP WINAPI CountedCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                        DWORD offset)
{
    return Track(real.createDIBSection(dc, info, usage, bits, section, offset), Kind::Bitmap);
}
HBRUSH WINAPI CountedCreateSolidBrush(COLORREF color) { return Track(real.createSolidBrush(color), Kind::Brush); }
HPEN WINAPI CountedCreatePen(int style, int width, COLORREF color)
{
    return Track(real.createPen(style, width, color), Kind::Pen);
}
HRGN WINAPI CountedCreateRectRgn(int l, int t, int r, int b) { return Track(real.createRectRgn(l, t, r, b), Kind::Region); }
HFONT WINAPI CountedCreateFontIndirectW(const LOGFONTW* font) { return Track(real.createFontIndirectW(font), Kind::Font); }
BOOL WINAPI CountedDeleteObject(HGDIOBJ object)
{
    const BOOL done = real.deleteObject(object);
    if (done)
        Forget(object);
    return done;
}
HANDLE WINAPI CountedLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE image = real.loadImageW(module, name, type, cx, cy, flags);
    return type == IMAGE_BITMAP ? Track(image, Kind::Bitmap) : image;
}
HANDLE WINAPI CountedLoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE image = real.loadImageA(module, name, type, cx, cy, flags);
    return type == IMAGE_BITMAP ? Track(image, Kind::Bitmap) : image;
}
HBITMAP WINAPI CountedLoadBitmapW(HINSTANCE module, LPCWSTR name) { return Track(real.loadBitmapW(module, name), Kind::Bitmap); }
HDC WINAPI CountedGetDC(HWND hwnd) { return Track(real.getDC(hwnd), Kind::WindowDc); }
HDC WINAPI CountedGetWindowDC(HWND hwnd) { return Track(real.getWindowDC(hwnd), Kind::WindowDc); }
int WINAPI CountedReleaseDC(HWND hwnd, HDC dc)
{
    const int done = real.releaseDC(hwnd, dc);
    if (done)
        Forget(dc);
    return done;
}

struct Patch {
    const char* name;
    void* wrapper;
    void** realSlot;
};

// Replaces each named import of this executable with its wrapper, keeping the real address.
void PatchImports(Patch* patches, size_t count)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name != 0;
         ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (size_t i = 0; i < count; ++i) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), patches[i].name) != 0)
                    continue;
                DWORD old = 0;
                ::VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                *patches[i].realSlot = reinterpret_cast<void*>(addresses->u1.Function);
                addresses->u1.Function = reinterpret_cast<ULONG_PTR>(patches[i].wrapper);
                ::VirtualProtect(&addresses->u1.Function, sizeof(void*), old, &old);
            }
        }
    }
}

} // namespace

namespace gdi_census {

void Install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Each real slot starts as the exported address, so an import the executable lacks still works.
    real = Real{&::CreateCompatibleDC, &::DeleteDC, &::CreateCompatibleBitmap, &::CreateBitmap,
                &::CreateDIBSection, &::CreateSolidBrush, &::CreatePen, &::CreateRectRgn,
                &::CreateFontIndirectW, &::DeleteObject, &::LoadImageW, &::LoadImageA,
                &::LoadBitmapW, &::GetDC, &::GetWindowDC, &::ReleaseDC};
#define PATCH(name, field) {#name, reinterpret_cast<void*>(&Counted##name), reinterpret_cast<void**>(&real.field)}
    Patch patches[] = {
        PATCH(CreateCompatibleDC, createCompatibleDC), PATCH(DeleteDC, deleteDC),
        PATCH(CreateCompatibleBitmap, createCompatibleBitmap), PATCH(CreateBitmap, createBitmap),
        PATCH(CreateDIBSection, createDIBSection), PATCH(CreateSolidBrush, createSolidBrush),
        PATCH(CreatePen, createPen), PATCH(CreateRectRgn, createRectRgn),
        PATCH(CreateFontIndirectW, createFontIndirectW), PATCH(DeleteObject, deleteObject),
        PATCH(LoadImageW, loadImageW), PATCH(LoadImageA, loadImageA), PATCH(LoadBitmapW, loadBitmapW),
        PATCH(GetDC, getDC), PATCH(GetWindowDC, getWindowDC), PATCH(ReleaseDC, releaseDC),
    };
#undef PATCH
    PatchImports(patches, sizeof(patches) / sizeof(patches[0]));
}

size_t Live() { return Alive().size(); }

const char* Describe()
{
    static std::string text;
    std::map<Kind, int> counts;
    for (const auto& [handle, kind] : Alive())
        ++counts[kind == Kind::Other ? KindOf(handle) : kind];
    static const char* const names[] = {"bitmap", "brush", "pen", "font", "region", "memory dc", "window dc", "other"};
    text.clear();
    for (const auto& [kind, n] : counts)
        text += std::string(text.empty() ? "" : ", ") + names[static_cast<int>(kind)] + " " + std::to_string(n);
    return text.c_str();
}

} // namespace gdi_census
