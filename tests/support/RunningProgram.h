// Looking at a running Tabvisor.exe from another process: waiting on a condition while serving
// this thread's messages, the program's dialogs, and its panel once it waits for the key.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every few milliseconds for up to `timeoutMs`, dispatching this thread's
// messages meanwhile (window-event recorders are served by them); whether it came true.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The process's top-level windows of class `className`; its dialogs by default ("#32770").
std::vector<HWND> DialogsOf(DWORD processId, const wchar_t* className = L"#32770");

// How many Tabvisor panels (dialogs titled "Tabvisor") there are on this desktop, of any process.
int PanelsOnTheDesktop();

// The text of a tooltip the process shows now, asked across processes, or "" when none shows.
std::wstring ShownTooltipText(DWORD processId);

// The panel of the program in `processId` once it waits for the key, or nullptr if it never
// does within the time a loaded machine may take. The panel has its layered face late in its
// initialisation, is shown when that ends and hides itself 50 ms later; a key before that hide
// would be lost to it, so the panel counts only once it has been seen shown and hidden again,
// or else hidden for a good while.
HWND WaitForWaitingPanel(DWORD processId);

// Ends the program as a user can (the close command to its panel) and gives its exit code, or
// 0xFFFFFFFF if it has not ended within `timeoutMs`.
DWORD CloseByCommand(HWND panel, HANDLE process, DWORD timeoutMs = 10000);
