// Starting the program and finding and driving its windows from another process.
#include "ProgramUnderTest.h"

#include <commctrl.h>

#include <algorithm>

#include "XPointer.h"

std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

namespace {

afx::unique_handle Start(const std::wstring& program, const std::wstring& arguments, DWORD* processId)
{
    std::wstring command = L"\"" + BuildFolder() + L"\\" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    ::CloseHandle(process.hThread);
    if (processId != nullptr)
        *processId = process.dwProcessId;
    return afx::unique_handle(process.hProcess);
}

} // namespace

DWORD RunTool(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs)
{
    afx::unique_handle process = Start(program, arguments, nullptr);
    if (!process)
        return 0xFFFFFFFF;
    ::WaitForSingleObject(process.get(), timeoutMs);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

void Linger(DWORD ms) { WaitFor([] { return false; }, ms); }

void SendTabletKey(const std::wstring& key) { RunTool(L"tabsim.exe", L"key " + key); }

ProgramUnderTest::ProgramUnderTest()
{
    m_process = Start(L"Tabvisor.exe", L"", &m_processId);
    if (!m_process)
        return;
    const HWND panel = WaitForWaitingPanel(m_processId);
    if (panel == nullptr)
        return;
    m_panel = panel;
    // The pages are the dialogs the panel owns, created right after it: order them by place on the
    // panel, which the panel fixes (switches, volume, brightness; then keyboard, Task Manager).
    for (HWND hwnd : DialogsOf(m_processId))
        if (::GetWindow(hwnd, GW_OWNER) == m_panel)
            m_pages.push_back(hwnd);
    const CRect panelRect = WindowRect(m_panel);
    std::sort(m_pages.begin(), m_pages.end(), [&](HWND a, HWND b) {
        const CRect ra = WindowRect(a);
        const CRect rb = WindowRect(b);
        return std::make_pair(ra.top - panelRect.top > 150, ra.left) < std::make_pair(rb.top - panelRect.top > 150, rb.left);
    });
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (Running() && Close() == 0xFFFFFFFF)
        ::TerminateProcess(m_process.get(), 1);
}

bool ProgramUnderTest::Running() const
{
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

DWORD ProgramUnderTest::Close() { return CloseByCommand(m_panel, m_process.get()); }

bool ProgramUnderTest::AllPagesVisible() const
{
    return !m_pages.empty() && std::all_of(m_pages.begin(), m_pages.end(), [](HWND p) { return ::IsWindowVisible(p); });
}

bool ProgramUnderTest::AnyPageVisible() const
{
    return std::any_of(m_pages.begin(), m_pages.end(), [](HWND p) { return ::IsWindowVisible(p); });
}

CRect ProgramUnderTest::WindowRect(HWND hwnd)
{
    CRect rect;
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

int ProgramUnderTest::SliderPos(HWND slider)
{
    DWORD_PTR pos = 0;
    if (slider == nullptr || !::SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &pos))
        return -1;
    return static_cast<int>(pos);
}

GUITHREADINFO ProgramUnderTest::GuiThreadInfo() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(m_panel, nullptr), &info))
        return GUITHREADINFO{};
    return info;
}

HWND ProgramUnderTest::FocusedWindow() const { return GuiThreadInfo().hwndFocus; }
HWND ProgramUnderTest::CaptureWindow() const { return GuiThreadInfo().hwndCapture; }
bool ProgramUnderTest::InMoveLoop() const { return (GuiThreadInfo().flags & GUI_INMOVESIZE) != 0; }

bool ProgramUnderTest::Uncover(HWND page, POINT at)
{
    // The program may still be showing its pages and handing focus about, which restacks them;
    // it is done once its thread answers a message.
    ::SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return WaitFor([&] {
        const HWND hit = ::WindowFromPoint(at);
        return hit == page || ::IsChild(page, hit);
    });
}

void ProgramUnderTest::PressHotkey() const { SendTabletKey(L"hotkey"); }

namespace {

// Where the test last moved the pointer, which every press and release is sent to again.
POINT s_pointer{};
bool s_pointerPlaced = false;

// A mouse event at a screen point: absolute coordinates are in 0..65535 over the primary screen.
void SendMouseAt(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    ::SendInput(1, &input, sizeof(INPUT));
}

} // namespace

// Under Wine, input sent with SendInput moves the system's cursor but leaves the X server's pointer
// where it was (where an earlier test left it), and each crossing or motion event that X sends the
// program's windows (a show, a restack) takes the cursor back there, also one that the program
// reads only after the move sent here. A press without a place of its own would then land on
// whatever lies under the X pointer: the close mark, say. So the X pointer goes to the point
// first, and each press and release carries the point again.
void ProgramUnderTest::MoveMouseTo(POINT screen)
{
    if (XPointerAvailable())
        XMoveTo(screen);
    s_pointer = screen;
    s_pointerPlaced = true;
    SendMouseAt(screen, 0);
}

void ProgramUnderTest::MouseButton(bool down)
{
    const DWORD button = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    if (s_pointerPlaced) {
        SendMouseAt(s_pointer, button);
        return;
    }
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = button;
    ::SendInput(1, &input, sizeof(INPUT));
}

void ProgramUnderTest::ClickAt(POINT screen)
{
    // The program may still be in the previous click's handler, with that button holding the
    // mouse until the handler returns; a click now would go to it. Once the window here answers a
    // message, its thread is back in its loop.
    const HWND target = ::WindowFromPoint(screen);
    if (target != nullptr)
        ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    MoveMouseTo(screen);
    ::Sleep(30);
    MouseButton(true);
    // A button is let go once it shows pressed, as a user's finger would; on a loaded machine the
    // press can take a while to arrive.
    wchar_t name[16] = {};
    if (target != nullptr && ::GetClassNameW(target, name, 16) > 0 && std::wstring(name) == L"Button") {
        WaitFor(
            [&] {
                DWORD_PTR state = 0;
                return ::SendMessageTimeoutW(target, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) != 0 &&
                       (state & BST_PUSHED) != 0;
            },
            3000);
    } else {
        ::Sleep(30);
    }
    MouseButton(false);
}
