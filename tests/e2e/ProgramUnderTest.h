// Tabvisor.exe started as a user starts it, and looked at only from outside: its windows found
// by process, their visibility and places, and the tablet key and mouse sent as real input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Geometry.h"
#include "Handles.h"

// The folder of the running test executable, where the program and its tools are built.
std::wstring BuildFolder();

// Runs a program from the build folder with `arguments` and waits for it; its exit code.
DWORD RunTool(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 30000);

// Polls `condition` every few milliseconds for up to `timeoutMs`; whether it came true.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

class ProgramUnderTest {
public:
    // Starts Tabvisor.exe and waits until its panel exists and has hidden itself after start-up.
    ProgramUnderTest();
    // Asks the program to end as the user would (the close command) and waits; kills it if need be.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Started() const { return m_panel != nullptr; }
    HWND Panel() const { return m_panel; }
    // The five pages, in the panel's creation order: switches, volume, brightness, keyboard, Task Manager.
    const std::vector<HWND>& Pages() const { return m_pages; }
    HWND Control(HWND dialog, int id) const { return ::GetDlgItem(dialog, id); }

    bool PanelVisible() const { return ::IsWindowVisible(m_panel) != FALSE; }
    bool AllPagesVisible() const;
    bool AnyPageVisible() const;
    CRect WindowRect(HWND hwnd) const;

    // The tablet key through tabsim, as the tablet's driver would send it.
    void PressHotkey() const;
    // A left click at a screen point, through the system's input queue.
    static void ClickAt(POINT screen);
    static void MoveMouseTo(POINT screen);
    static void MouseButton(bool down);

    // Ends the program the way the user can (the close command) and returns its exit code.
    DWORD Close();
    bool Running() const;

private:
    afx::unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_panel = nullptr;
    std::vector<HWND> m_pages;
};
