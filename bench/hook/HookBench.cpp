// Cost of one call of the keyboard hook procedure, called directly in this process: Tabvisor's
// HotkeyHookProc over the real panel (called on this thread, not on the hook's own), and the
// floor's hook over a plain window, for several kinds of key event. Each is timed twice: as it
// is, and with this executable's import of CallNextHookEx pointed at a stub, which leaves the
// hook's own work. (Under Wine, CallNextHookEx is a round trip to the wineserver, tens of
// microseconds, whoever calls it.)
// Prints one tab-separated line per kind for the benchmark driver:
//   hook <kind> <calls> <own work: tabvisor median, p99, floor median, p99 (ns)>
//        <whole call: tabvisor median, p99, floor median, p99 (ns)>
#include "Afx.h"
#include "FloorHook.h"
#include "Gdiplus.h"
#include "HotkeyHook.h"
#include "HotkeyState.h"
#include "TabvisorDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kBatches = 200;
constexpr int kCallsPerBatch = 1000;
constexpr int kShowingCalls = 100;

LONGLONG Now()
{
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

double Nanoseconds(LONGLONG ticks)
{
    static const double frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e9 / frequency;
}

struct Figures {
    double median = 0;
    double p99 = 0;
};

Figures Summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double fraction) { return samples[static_cast<size_t>(fraction * (samples.size() - 1))]; };
    return {at(0.5), at(0.99)};
}

// ---- CallNextHookEx, as imported by this executable --------------------------------------------

using CallNextHookExFn = LRESULT(WINAPI*)(HHOOK, int, WPARAM, LPARAM);

LRESULT WINAPI NextHookStub(HHOOK, int, WPARAM, LPARAM) { return 0; }

// The import address table slot through which this executable (and so both hook procedures,
// linked into it) calls CallNextHookEx.
CallNextHookExFn* ImportSlot()
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name != 0;
         ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "user32.dll") != 0 ||
            library->OriginalFirstThunk == 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "CallNextHookEx") == 0)
                return reinterpret_cast<CallNextHookExFn*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Points the slot at `target` for the scope.
class ImportRedirect {
public:
    ImportRedirect(CallNextHookExFn* slot, CallNextHookExFn target) : m_slot(slot)
    {
        if (m_slot != nullptr)
            m_saved = Write(target);
    }
    ~ImportRedirect()
    {
        if (m_slot != nullptr)
            Write(m_saved);
    }
    ImportRedirect(const ImportRedirect&) = delete;
    ImportRedirect& operator=(const ImportRedirect&) = delete;

private:
    CallNextHookExFn Write(CallNextHookExFn value)
    {
        DWORD protection = 0;
        ::VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &protection);
        const CallNextHookExFn previous = *m_slot;
        *m_slot = value;
        ::VirtualProtect(m_slot, sizeof(*m_slot), protection, &protection);
        ::FlushInstructionCache(::GetCurrentProcess(), m_slot, sizeof(*m_slot));
        return previous;
    }
    CallNextHookExFn* m_slot;
    CallNextHookExFn m_saved = nullptr;
};

// ---- timing ------------------------------------------------------------------------------------

struct KeyKind {
    const char* name;
    WPARAM message;
    DWORD vk;
    DWORD scan;
};

// Batches of calls with the same event; each sample is one batch's time per call, so the clock's
// own cost vanishes.
Figures TimeBatches(HOOKPROC hook, const KeyKind& kind, int batches = kBatches)
{
    KBDLLHOOKSTRUCT event{};
    event.vkCode = kind.vk;
    event.scanCode = kind.scan;
    const auto lParam = reinterpret_cast<LPARAM>(&event);
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(batches));
    for (int batch = 0; batch < batches; ++batch) {
        const LONGLONG start = Now();
        for (int i = 0; i < kCallsPerBatch; ++i)
            hook(HC_ACTION, kind.message, lParam);
        samples.push_back(Nanoseconds(Now() - start) / kCallsPerBatch);
    }
    return Summarise(std::move(samples));
}

// The hotkey while the window is hidden: each call shows it (the floor) or posts the request to
// show it (Tabvisor), so each is timed alone, and the window is hidden again and the request
// taken, untimed, before the next.
Figures TimeShowingCalls(HOOKPROC hook, HWND window)
{
    KBDLLHOOKSTRUCT event{};
    event.vkCode = 0xFF;
    event.scanCode = 0x2C;
    const auto lParam = reinterpret_cast<LPARAM>(&event);
    std::vector<double> samples;
    samples.reserve(kShowingCalls);
    for (int i = 0; i < kShowingCalls; ++i) {
        ::ShowWindow(window, SW_HIDE);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        const LONGLONG start = Now();
        hook(HC_ACTION, WM_KEYDOWN, lParam);
        samples.push_back(Nanoseconds(Now() - start));
    }
    return Summarise(std::move(samples));
}

struct Row {
    Figures tabvisorOwn, floorOwn, tabvisorWhole, floorWhole;
};

void Print(const char* kind, int calls, const Row& row)
{
    std::printf("hook\t%s\t%d\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\n", kind, calls, row.tabvisorOwn.median,
                row.tabvisorOwn.p99, row.floorOwn.median, row.floorOwn.p99, row.tabvisorWhole.median,
                row.tabvisorWhole.p99, row.floorWhole.median, row.floorWhole.p99);
}

// The platform's CallNextHookEx costs the same whoever calls it: fewer batches keep the run short.
constexpr int kWholeBatches = 10;

Row TimeKind(CallNextHookExFn* slot, const KeyKind& kind)
{
    Row row;
    {
        ImportRedirect stub(slot, NextHookStub);
        row.tabvisorOwn = TimeBatches(HotkeyHookProc, kind);
        row.floorOwn = TimeBatches(FloorHookProc, kind);
    }
    row.tabvisorWhole = TimeBatches(HotkeyHookProc, kind, kWholeBatches);
    row.floorWhole = TimeBatches(FloorHookProc, kind, kWholeBatches);
    return row;
}

int Run()
{
    CallNextHookExFn* slot = ImportSlot();
    if (slot == nullptr) {
        std::fprintf(stderr, "CallNextHookEx is not imported through this executable's import table\n");
        return 1;
    }
    // The real panel, created as the program creates it, as the thread's main window: the hook
    // posts it its request for the hotkey. No message loop runs here but the one that takes the
    // requests between the timed calls.
    CWinApp app;
    CTabvisorDlg panel;
    app.m_pMainWnd = &panel;
    if (!panel.Create(IDD_TABVISOR_DIALOG, nullptr)) {
        std::fprintf(stderr, "the panel could not be created\n");
        app.m_pMainWnd = nullptr;
        return 1;
    }
    // The procedures are called directly; the panel's own hook, on its thread, sees no keys here.
    panel.ShowWindow(SW_HIDE);

    // The floor's window: a plain dialog-class popup of the panel's size.
    HWND floorWindow = ::CreateWindowExW(WS_EX_TOPMOST, L"#32770", L"floor", WS_POPUP, 100, 100, kPanelWidth,
                                         kPanelHeight, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    g_floorWindow = floorWindow;

    const KeyKind kinds[] = {
        {"letter key-down (A)", WM_KEYDOWN, 'A', 0x1E},
        {"letter key-up (A), not examined", WM_KEYUP, 'A', 0x1E},
        {"Up arrow key-down", WM_KEYDOWN, VK_UP, 0x48},
        {"Down arrow key-down", WM_KEYDOWN, VK_DOWN, 0x50},
        {"Alt system key-down", WM_SYSKEYDOWN, VK_MENU, 0x38},
        {"vk 0xFF with another scan code", WM_KEYDOWN, 0xFF, 0x2D},
    };
    for (const KeyKind& kind : kinds)
        Print(kind.name, kBatches * kCallsPerBatch, TimeKind(slot, kind));

    panel.ShowWindow(SW_SHOW);
    ::ShowWindow(floorWindow, SW_SHOW);
    const KeyKind shown{"hotkey, window already shown", WM_KEYDOWN, 0xFF, 0x2C};
    Print(shown.name, kBatches * kCallsPerBatch, TimeKind(slot, shown));

    Row showing;
    {
        ImportRedirect stub(slot, NextHookStub);
        showing.tabvisorOwn = TimeShowingCalls(HotkeyHookProc, panel.m_hWnd);
        showing.floorOwn = TimeShowingCalls(FloorHookProc, floorWindow);
    }
    showing.tabvisorWhole = TimeShowingCalls(HotkeyHookProc, panel.m_hWnd);
    showing.floorWhole = TimeShowingCalls(FloorHookProc, floorWindow);
    Print("hotkey, window hidden (the floor's call shows it, Tabvisor's posts the request)", kShowingCalls, showing);

    g_floorWindow = nullptr;
    ::DestroyWindow(floorWindow);
    panel.DestroyWindow();
    app.m_pMainWnd = nullptr;
    return 0;
}

} // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    const int result = Run();
    Gdiplus::GdiplusShutdown(token);
    return result;
}
