// Definitions of the shared hook and page state; everything starts at zero.
#include "HotkeyState.h"

std::atomic<HHOOK> g_hHook{nullptr};
std::atomic<unsigned char> g_panelRequested{0};
std::atomic<unsigned char> g_panelHidden{0};
std::atomic<int> g_upKeyDown{0};
std::atomic<int> g_downKeyDown{0};
std::atomic<unsigned> g_hookCalls{0};

CSwitchPage* g_switchPage = nullptr;
CVolumePage* g_volumePage = nullptr;
CBrightnessPage* g_brightnessPage = nullptr;
CKeyboardPage* g_keyboardPage = nullptr;
CTaskMgrPage* g_taskMgrPage = nullptr;
