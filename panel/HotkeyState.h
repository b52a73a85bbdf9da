// The state that the keyboard hook, the panel and the pages share. The hook runs on a thread of
// its own (HookThread), so the flags it writes and the count it keeps are atomics. The pages are
// the panel's own (CTabvisorDlg::Pages); nothing global points at them.
#pragma once

#include <windows.h>

#include <atomic>

extern std::atomic<HHOOK> g_hHook;                   // the keyboard hook its thread owns: a view (HookThread.cpp)
extern std::atomic<unsigned char> g_panelRequested;  // 1 once the hotkey has been seen since the last hide
extern std::atomic<unsigned char> g_panelHidden;     // 1 from the last hide until the pages are shown again
extern std::atomic<int> g_upKeyDown;                 // 1 while the last examined key event was Up arrow
extern std::atomic<int> g_downKeyDown;               // 1 while the last examined key event was Down arrow
extern std::atomic<unsigned> g_hookCalls;            // every call of the hook, counted: the sign that it is still installed

// Whether the last key event the hook examined was Up or Down: the volume page's poll holds the
// slider still meanwhile.
inline bool ArrowKeyReported() { return g_upKeyDown != 0 || g_downKeyDown != 0; }
