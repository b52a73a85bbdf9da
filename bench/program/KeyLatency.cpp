// A window on a thread of the driver's own takes the keys and notes when each WM_KEYDOWN comes;
// the driver's main thread sends them, a few tens of milliseconds apart, so they fall at every
// moment of whatever the benchmarked program is doing.
#include "KeyLatency.h"

#include <atomic>
#include <memory>

#include "Input.h"
#include "Measure.h"
#include "Phases.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TabvisorBenchKeyTarget";
constexpr DWORD kArrivalTimeoutMs = 2000;
constexpr WORD kKeyVk = 'A';
constexpr WORD kKeyScan = 0x1E;

std::atomic<LONGLONG> g_keyDownAt{0};
HANDLE g_keyDownEvent = nullptr;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        g_keyDownAt = Now();
        ::SetEvent(g_keyDownEvent);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// The window in front, and its thread.
class KeyTarget {
public:
    KeyTarget()
    {
        if (g_keyDownEvent == nullptr)
            g_keyDownEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_ready = ready;
        m_thread = ::CreateThread(nullptr, 0, &KeyTarget::Run, this, 0, nullptr);
        if (m_thread != nullptr)
            ::WaitForSingleObject(ready, 10000);
        ::CloseHandle(ready);
    }
    ~KeyTarget()
    {
        if (m_hwnd != nullptr)
            ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        if (m_thread != nullptr) {
            ::WaitForSingleObject(m_thread, 5000);
            ::CloseHandle(m_thread);
        }
    }
    KeyTarget(const KeyTarget&) = delete;
    KeyTarget& operator=(const KeyTarget&) = delete;

    // Puts the window in front; whether it is there.
    bool InFront() const
    {
        if (m_hwnd == nullptr)
            return false;
        const LONGLONG start = Now();
        while (::GetForegroundWindow() != m_hwnd && MsSince(start) < 2000) {
            ::SetForegroundWindow(m_hwnd);
            ::Sleep(10);
        }
        return ::GetForegroundWindow() == m_hwnd;
    }

    // Sends one key (its up once its down has come) and gives the milliseconds until the window
    // took the down, or -1.
    static double TimeKey()
    {
        INPUT event{};
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = kKeyVk;
        event.ki.wScan = kKeyScan;
        ::ResetEvent(g_keyDownEvent);
        const LONGLONG start = Now();
        ::SendInput(1, &event, sizeof(INPUT));
        const bool arrived = ::WaitForSingleObject(g_keyDownEvent, kArrivalTimeoutMs) == WAIT_OBJECT_0;
        event.ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(1, &event, sizeof(INPUT));
        return arrived ? TicksToMs(g_keyDownAt.load() - start) : -1;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* target = static_cast<KeyTarget*>(self);
        WNDCLASSW type{};
        type.lpfnWndProc = &TargetProc;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = kWindowClass;
        ::RegisterClassW(&type);
        // Away from where the programs show their windows.
        target->m_hwnd = ::CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"bench key target", WS_POPUP | WS_VISIBLE, 0,
                                           0, 120, 80, nullptr, nullptr, type.hInstance, nullptr);
        ::SetEvent(target->m_ready);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        return 0;
    }

    HANDLE m_thread = nullptr;
    HANDLE m_ready = nullptr;
    HWND m_hwnd = nullptr;
};

} // namespace

void MeasureKeyLatencyBlock(const TargetKind* kind, bool shown, int keys, KeyLatencyResult& result)
{
    std::unique_ptr<Target> target;
    if (kind != nullptr) {
        target = std::make_unique<Target>(*kind);
        if (!target->Start() || !target->WaitReady(30000)) {
            ++result.failures;
            return;
        }
        ::Sleep(500);
        if (shown) {
            SendHotkey(true);
            SendHotkey(false);
            const LONGLONG start = Now();
            while (!(target->MainVisible() && (!kind->hasPages || target->AllPagesVisible())) && MsSince(start) < 5000)
                ::Sleep(5);
            if (!target->MainVisible()) {
                ++result.failures;
                return;
            }
            ::Sleep(300);  // the show's focus changes are over
        }
    }
    KeyTarget window;
    if (!window.InFront()) {
        ++result.failures;
        return;
    }
    ++result.blocks;
    Lcg spacing(4242u + static_cast<unsigned>(result.blocks));
    for (int key = 0; key < keys && !PastSoftDeadline(); ++key) {
        ::Sleep(5 + spacing.Next(25));
        const double ms = KeyTarget::TimeKey();
        if (ms < 0)
            ++result.lost;
        else
            result.ms.push_back(ms);
    }
    if (target != nullptr && shown && !target->MainVisible())
        ++result.failures;  // it should have stayed shown throughout
}
