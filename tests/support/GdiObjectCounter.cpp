// The tally behind gdi_count: the executable's import slots of the creating and freeing calls are
// pointed at wrappers that record which handles are alive.
#include "GdiObjectCounter.h"

#include <cstring>
#include <map>
#include <mutex>
#include <unordered_set>

namespace gdi_count {
namespace {

std::mutex g_lock;
std::unordered_set<void*>& LiveSet()
{
    static std::unordered_set<void*> live;
    return live;
}

void Track(void* h)
{
    if (h == nullptr)
        return;
    std::lock_guard<std::mutex> guard(g_lock);
    LiveSet().insert(h);
}

void Untrack(void* h)
{
    std::lock_guard<std::mutex> guard(g_lock);
    LiveSet().erase(h);
}

// Replaces the import slot of `dll!name` in `module` with `hook`; the previous target goes to
// `*original`. A function the module does not import is left alone.
void Patch(HMODULE module, const char* dll, const char* name, void* hook, void** original)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name != 0;
         ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        const DWORD namesRva = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesRva);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD protection = 0;
            ::VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            *original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
            ::VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
        }
    }
}

// One wrapper per counted call: `real` holds the system's function.
#define COUNTED(dll, Name, Ret, Params, Args, After)                                              \
    namespace Name##_ {                                                                           \
    using Fn = Ret(WINAPI*) Params;                                                               \
    Fn real = nullptr;                                                                            \
    Ret WINAPI hook Params                                                                        \
    {                                                                                             \
        Ret result = real Args;                                                                   \
        After;                                                                                    \
        return result;                                                                            \
    }                                                                                             \
    void install(HMODULE module)                                                                  \
    {                                                                                             \
        real = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(dll), #Name))); \
        void* original = nullptr;                                                                 \
        Patch(module, dll, #Name, reinterpret_cast<void*>(&hook), &original);                     \
        if (original != nullptr)                                                                  \
            real = reinterpret_cast<Fn>(original);                                                \
    }                                                                                             \
    }

COUNTED("gdi32.dll", CreateCompatibleDC, HDC, (HDC dc), (dc), Track(result))
COUNTED("gdi32.dll", CreateDCW, HDC, (LPCWSTR d, LPCWSTR v, LPCWSTR o, const DEVMODEW* m), (d, v, o, m),
        Track(result))
COUNTED("gdi32.dll", DeleteDC, BOOL, (HDC dc), (dc), if (result) Untrack(dc))
COUNTED("gdi32.dll", CreateCompatibleBitmap, HBITMAP, (HDC dc, int w, int h), (dc, w, h), Track(result))
COUNTED("gdi32.dll", CreateBitmap, HBITMAP, (int w, int h, UINT p, UINT b, const void* bits), (w, h, p, b, bits),
        Track(result))
COUNTED("gdi32.dll", CreateDIBSection, HBITMAP,
        (HDC dc, const BITMAPINFO* i, UINT u, void** bits, HANDLE s, DWORD o), (dc, i, u, bits, s, o), Track(result))
COUNTED("gdi32.dll", CreateSolidBrush, HBRUSH, (COLORREF c), (c), Track(result))
COUNTED("gdi32.dll", CreatePen, HPEN, (int s, int w, COLORREF c), (s, w, c), Track(result))
COUNTED("gdi32.dll", CreateRectRgn, HRGN, (int l, int t, int r, int b), (l, t, r, b), Track(result))
// Wine accepts deleting a selected object and frees it once it is deselected; Windows refuses. So
// an object counts as freed only when it is gone right after a DeleteObject call.
COUNTED("gdi32.dll", DeleteObject, BOOL, (HGDIOBJ o), (o), if (::GetObjectType(o) == 0) Untrack(o))
COUNTED("user32.dll", GetDC, HDC, (HWND w), (w), Track(result))
COUNTED("user32.dll", GetWindowDC, HDC, (HWND w), (w), Track(result))
COUNTED("user32.dll", ReleaseDC, int, (HWND w, HDC dc), (w, dc), if (result) Untrack(dc))
COUNTED("user32.dll", LoadBitmapA, HBITMAP, (HINSTANCE m, LPCSTR n), (m, n), Track(result))
COUNTED("user32.dll", LoadBitmapW, HBITMAP, (HINSTANCE m, LPCWSTR n), (m, n), Track(result))
COUNTED("user32.dll", LoadImageA, HANDLE, (HINSTANCE m, LPCSTR n, UINT t, int w, int h, UINT f),
        (m, n, t, w, h, f), if (t == IMAGE_BITMAP) Track(result))
COUNTED("user32.dll", LoadImageW, HANDLE, (HINSTANCE m, LPCWSTR n, UINT t, int w, int h, UINT f),
        (m, n, t, w, h, f), if (t == IMAGE_BITMAP) Track(result))

#undef COUNTED

} // namespace

void Install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        HMODULE self = ::GetModuleHandleW(nullptr);
        CreateCompatibleDC_::install(self);
        CreateDCW_::install(self);
        DeleteDC_::install(self);
        CreateCompatibleBitmap_::install(self);
        CreateBitmap_::install(self);
        CreateDIBSection_::install(self);
        CreateSolidBrush_::install(self);
        CreatePen_::install(self);
        CreateRectRgn_::install(self);
        DeleteObject_::install(self);
        GetDC_::install(self);
        GetWindowDC_::install(self);
        ReleaseDC_::install(self);
        LoadBitmapA_::install(self);
        LoadBitmapW_::install(self);
        LoadImageA_::install(self);
        LoadImageW_::install(self);
    });
}

size_t Live()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return LiveSet().size();
}

std::string Describe()
{
    std::map<DWORD, int> counts;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        for (void* handle : LiveSet())
            ++counts[::GetObjectType(static_cast<HGDIOBJ>(handle))];
    }
    std::string text;
    for (const auto& [type, n] : counts) {
        const char* name = type == OBJ_BITMAP ? "bitmap"
                           : type == OBJ_BRUSH ? "brush"
                           : type == OBJ_PEN ? "pen"
                           : type == OBJ_FONT ? "font"
                           : type == OBJ_REGION ? "region"
                           : type == OBJ_MEMDC ? "memory dc"
                           : type == OBJ_DC ? "dc"
                           : type == 0 ? "freed elsewhere"
                                       : "other";
        text += (text.empty() ? "" : ", ") + std::string(name) + " " + std::to_string(n);
    }
    return text;
}

} // namespace gdi_count
