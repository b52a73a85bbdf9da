// Definitions of the shared hook and page state; everything starts at zero.
#include "HotkeyState.h"

HHOOK g_hHook = nullptr;
unsigned char g_panelRequested = 0;
unsigned char g_panelHidden = 0;
int g_upKeyDown = 0;
int g_downKeyDown = 0;
unsigned g_hookCalls = 0;

CSwitchPage* g_switchPage = nullptr;
CVolumePage* g_volumePage = nullptr;
CBrightnessPage* g_brightnessPage = nullptr;
CKeyboardPage* g_keyboardPage = nullptr;
CTaskMgrPage* g_taskMgrPage = nullptr;
