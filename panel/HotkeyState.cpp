// Definitions of the state the hook and the panel share; everything starts at zero.
#include "HotkeyState.h"

std::atomic<HHOOK> g_hHook{nullptr};
std::atomic<unsigned char> g_panelRequested{0};
std::atomic<unsigned char> g_panelHidden{0};
std::atomic<int> g_upKeyDown{0};
std::atomic<int> g_downKeyDown{0};
std::atomic<unsigned> g_hookCalls{0};
