// The keys the slider pages keep from themselves and their sliders.
#pragma once

#include <windows.h>

// Up and Down never reach a slider page: the volume page's poll is held while the hook reports
// them, so they must not move the slider either. Only wParam is looked at, whatever the message.
inline bool IsSwallowedArrow(const MSG& msg) { return msg.wParam == VK_UP || msg.wParam == VK_DOWN; }
