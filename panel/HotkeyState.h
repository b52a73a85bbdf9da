// The state that the keyboard hook, the panel and the pages share. The hook runs on a thread of
// its own (HookThread), so the flags it writes and the count it keeps are atomics; the page
// pointers are touched by the GUI thread only.
#pragma once

#include <windows.h>

#include <atomic>

class CSwitchPage;
class CVolumePage;
class CBrightnessPage;
class CKeyboardPage;
class CTaskMgrPage;

extern std::atomic<HHOOK> g_hHook;                   // the keyboard hook, installed and removed by its thread
extern std::atomic<unsigned char> g_panelRequested;  // 1 once the hotkey has been seen since the last hide
extern std::atomic<unsigned char> g_panelHidden;     // 1 from the last hide until the pages are shown again
extern std::atomic<int> g_upKeyDown;                 // 1 while the last examined key event was Up arrow
extern std::atomic<int> g_downKeyDown;               // 1 while the last examined key event was Down arrow
extern std::atomic<unsigned> g_hookCalls;            // every call of the hook, counted: the sign that it is still installed

// Whether the last key event the hook examined was Up or Down: the volume page's poll holds the
// slider still meanwhile.
inline bool ArrowKeyReported() { return g_upKeyDown != 0 || g_downKeyDown != 0; }

// Copies of the panel's page pointers, so a page can reach its siblings. Nobody frees through them.
extern CSwitchPage* g_switchPage;
extern CVolumePage* g_volumePage;
extern CBrightnessPage* g_brightnessPage;
extern CKeyboardPage* g_keyboardPage;
extern CTaskMgrPage* g_taskMgrPage;
