// The panel's side of hook recovery: the notifications it asks for and what it does with them.
#include "HookRecovery.h"

#include <wtsapi32.h>

#include "HookThread.h"
#include "HotkeyState.h"
#include "Trace.h"

namespace {
constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kKeyboardUsage = 0x06;

bool RegisterRawKeyboard(HWND target, DWORD flags)
{
    RAWINPUTDEVICE device{kGenericDesktopPage, kKeyboardUsage, flags, target};
    return ::RegisterRawInputDevices(&device, 1, sizeof(device)) != FALSE;
}
} // namespace

void HookRecovery::Start(HWND panel, HookThread& hook)
{
    m_panel = panel;
    m_hook = &hook;
    // A refusal costs only its trigger; the developer's trace tells a dead key after an unlock or
    // a lost hook from a bug.
    m_sessionNotifications = ::WTSRegisterSessionNotification(panel, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (!m_sessionNotifications)
        afx::Trace(L"session notifications refused, error %lu: no new hook after an unlock", ::GetLastError());
    m_rawKeyboard = RegisterRawKeyboard(panel, RIDEV_INPUTSINK);
    if (!m_rawKeyboard)
        afx::Trace(L"keyboard raw input refused, error %lu: a lost hook goes unnoticed", ::GetLastError());
}

void HookRecovery::Stop()
{
    if (m_sessionNotifications)
        ::WTSUnRegisterSessionNotification(m_panel);
    if (m_rawKeyboard)
        RegisterRawKeyboard(nullptr, RIDEV_REMOVE);
    m_sessionNotifications = false;
    m_rawKeyboard = false;
    m_panel = nullptr;
    m_hook = nullptr;
}

void HookRecovery::OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
        ReinstallIf(m_watchdog.OnSessionEvent(::GetTickCount()));
}

void HookRecovery::OnSessionChange(WPARAM event)
{
    if (event == WTS_SESSION_UNLOCK || event == WTS_CONSOLE_CONNECT || event == WTS_REMOTE_CONNECT)
        ReinstallIf(m_watchdog.OnSessionEvent(::GetTickCount()));
}

void HookRecovery::OnKeyboardInput() { ReinstallIf(m_watchdog.OnKeyboardInput(g_hookCalls, ::GetTickCount())); }

void HookRecovery::ReinstallIf(bool verdict)
{
    if (verdict && m_hook != nullptr)
        m_hook->Reinstall();
}
