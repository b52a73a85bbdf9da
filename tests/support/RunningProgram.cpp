// Waiting on and finding the windows of a running program from another process.
#include "RunningProgram.h"

#include <commctrl.h>

#include <string>

namespace {

void DispatchPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        DispatchPending();
        if (condition())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::vector<HWND> DialogsOf(DWORD processId, const wchar_t* className)
{
    struct Search {
        DWORD processId;
        std::wstring className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (owner == s->processId && name == s->className)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int PanelsOnTheDesktop()
{
    int panels = 0;
    for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, L"#32770", L"Tabvisor"); hwnd != nullptr;
         hwnd = ::FindWindowExW(nullptr, hwnd, L"#32770", L"Tabvisor"))
        ++panels;
    return panels;
}

std::wstring ShownTooltipText(DWORD processId)
{
    for (HWND tip : DialogsOf(processId, TOOLTIPS_CLASSW)) {
        if (!::IsWindowVisible(tip))
            continue;
        // WM_GETTEXT carries its buffer across processes; GetWindowText would not ask the tooltip.
        wchar_t text[512] = {};
        DWORD_PTR length = 0;
        if (::SendMessageTimeoutW(tip, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                                  &length) &&
            length > 0)
            return std::wstring(text, length);
    }
    return {};
}

HWND WaitForWaitingPanel(DWORD processId)
{
    HWND panel = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : DialogsOf(processId)) {
                wchar_t title[32] = {};
                ::GetWindowTextW(hwnd, title, 32);
                if (std::wstring(title) == L"Tabvisor")
                    panel = hwnd;
            }
            return panel != nullptr && (::GetWindowLongPtrW(panel, GWL_EXSTYLE) & WS_EX_LAYERED);
        },
        20000);
    if (panel == nullptr)
        return nullptr;
    bool seenShown = false;
    WaitFor(
        [&] {
            seenShown = seenShown || ::IsWindowVisible(panel);
            return seenShown && !::IsWindowVisible(panel);
        },
        5000);
    if (!seenShown && WaitFor([&] { return ::IsWindowVisible(panel) != FALSE; }, 1000))
        seenShown = true;
    if (seenShown && !WaitFor([&] { return !::IsWindowVisible(panel); }, 5000))
        return nullptr;
    return panel;
}

DWORD CloseByCommand(HWND panel, HANDLE process, DWORD timeoutMs)
{
    if (process == nullptr)
        return 0xFFFFFFFF;
    if (panel != nullptr)
        ::PostMessageW(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (::WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process, &code);
    return code;
}
