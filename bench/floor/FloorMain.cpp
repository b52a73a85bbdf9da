// The floor: the least a program can be that waits hidden for the tablet key and shows a window.
// One dialog as large as the panel, three 100 ms timers that do nothing (the panel's show timer
// and the two pages' polls, as the program once had them), and a low-level keyboard hook that only
// shows the dialog. The benchmarks measure Tabvisor next to it, so every figure has a ratio to
// what the platform costs. Built with BENCH_ZERO_FLOOR it is the zero floor: no timer at all, and
// a hook that only posts the dialog a request to show itself, the least a program waiting for a
// key can cost.
#include <windows.h>

#include "FloorHook.h"
#include "FloorIds.h"

namespace {

// The title is set last in initialisation: seeing it tells the driver the floor is waiting.
#ifdef BENCH_ZERO_FLOOR
constexpr wchar_t kFloorTitle[] = L"Tabvisor bench zero floor";
constexpr int kTimers = 0;
const HOOKPROC kHook = ZeroFloorHookProc;
#else
constexpr wchar_t kFloorTitle[] = L"Tabvisor bench floor";
constexpr int kTimers = 3;  // ids 0, 1 and 2
const HOOKPROC kHook = FloorHookProc;
#endif
constexpr int kWidth = 724;
constexpr int kHeight = 424;

HHOOK g_floorHook = nullptr;

void Initialise(HWND dialog)
{
    g_floorWindow = dialog;
    g_floorHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, kHook, ::GetModuleHandleW(nullptr), 0);
    for (int id = 0; id < kTimers; ++id)
        ::SetTimer(dialog, static_cast<UINT_PTR>(id), 100, nullptr);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(dialog, HWND_TOPMOST, work.left + (work.right - work.left - kWidth) / 2,
                   work.top + (work.bottom - work.top - kHeight) / 2, kWidth, kHeight, SWP_NOACTIVATE);
    ::SetWindowTextW(dialog, kFloorTitle);
}

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return TRUE;
    case WM_TIMER:
        return TRUE;
    case kZeroFloorShowRequest:
        ::ShowWindow(dialog, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        // The close button and Esc hide the window, as the panel's close mark does.
        if (LOWORD(wParam) == IDC_FLOOR_CLOSE || LOWORD(wParam) == IDCANCEL)
            ::ShowWindow(dialog, SW_HIDE);
        return TRUE;
    case WM_CLOSE:
        ::DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (g_floorHook != nullptr)
            ::UnhookWindowsHookEx(g_floorHook);
        g_floorHook = nullptr;
        g_floorWindow = nullptr;
        ::PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    HWND dialog = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FLOOR), nullptr, FloorDialogProc, 0);
    if (dialog == nullptr)
        return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
