// Tabvisor.exe started as a user starts it, and looked at only from outside: its windows found
// by process, their visibility, places, focus and slider positions, and the tablet key and mouse
// sent as real input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Geometry.h"
#include "Handles.h"
#include "RunningProgram.h"

// The folder of the running test executable, where the program and its tools are built.
std::wstring BuildFolder();

// Runs a program from the build folder with `arguments` and waits for it; its exit code.
DWORD RunTool(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 30000);

// Lets `ms` pass while dispatching this thread's messages: for checking that nothing happens.
void Linger(DWORD ms);

// A key through tabsim, as the tablet's driver or keyboard would send it: "hotkey", "up", "down"
// or a virtual-key number, optionally followed by "down" or "up" for half a press.
void SendTabletKey(const std::wstring& key);

class ProgramUnderTest {
public:
    // Starts Tabvisor.exe and waits until its panel exists and has hidden itself after start-up.
    ProgramUnderTest();
    // Asks the program to end as the user would (the close command) and waits; kills it if need be.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Started() const { return m_panel != nullptr; }
    DWORD ProcessId() const { return m_processId; }
    HWND Panel() const { return m_panel; }
    // The five pages, in the panel's creation order: switches, volume, brightness, keyboard, Task Manager.
    const std::vector<HWND>& Pages() const { return m_pages; }
    HWND SwitchPage() const { return PageAt(0); }
    HWND VolumePage() const { return PageAt(1); }
    HWND BrightnessPage() const { return PageAt(2); }
    HWND KeyboardPage() const { return PageAt(3); }
    HWND TaskMgrPage() const { return PageAt(4); }
    HWND Control(HWND dialog, int id) const { return ::GetDlgItem(dialog, id); }

    bool PanelVisible() const { return ::IsWindowVisible(m_panel) != FALSE; }
    bool AllPagesVisible() const;
    bool AnyPageVisible() const;
    bool AllVisible() const { return PanelVisible() && AllPagesVisible(); }
    bool NoneVisible() const { return !PanelVisible() && !AnyPageVisible(); }
    static CRect WindowRect(HWND hwnd);
    // Where a control lies on the screen.
    CRect ControlRect(HWND dialog, int id) const { return WindowRect(Control(dialog, id)); }

    // The position of a trackbar of the program (asked across processes), or -1 if it did not answer.
    static int SliderPos(HWND slider);
    // The window that has the keyboard focus on the program's GUI thread, if any.
    HWND FocusedWindow() const;
    // The window that holds the mouse capture on the program's GUI thread, if any.
    HWND CaptureWindow() const;
    // Whether the program's GUI thread is in the system's move or size loop. Moves sent before the
    // loop takes the pointer would be lost to it: it measures from where the pointer is by then.
    bool InMoveLoop() const;

    // Puts a page on top of the others without activating it, and waits until input sent to `at`
    // would reach it; whether it does. The switch page spans the lower pages and is see-through by
    // colour key; a real pointer's clicks pass through its magenta (X cuts its window to shape, as
    // Windows hit-tests by colour key), but Wine routes input sent with SendInput to the topmost
    // window rectangle at the point when it is sent, so the page aimed at must lie above it first.
    static bool Uncover(HWND page, POINT at);

    // The tablet key through tabsim, as the tablet's driver would send it.
    void PressHotkey() const;
    // A left click at a screen point, through the system's input queue.
    static void ClickAt(POINT screen);
    // The pointer to a screen point, the X server's with it; a press or release goes where the
    // pointer was last moved to.
    static void MoveMouseTo(POINT screen);
    static void MouseButton(bool down);

    // Ends the program the way the user can (the close command) and returns its exit code.
    DWORD Close();
    bool Running() const;

private:
    GUITHREADINFO GuiThreadInfo() const;
    HWND PageAt(size_t i) const { return i < m_pages.size() ? m_pages[i] : nullptr; }

    afx::unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_panel = nullptr;
    std::vector<HWND> m_pages;
};
