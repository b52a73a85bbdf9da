// The panel's private messages, posted to it by the hooks.
#pragma once

#include <windows.h>

// The hotkey has shown the panel: show the pages now rather than at the show timer's next tick.
inline constexpr UINT kShowPagesRequest = WM_APP + 1;
// The keyboard focus went into the panel, which lifts it over its pages in X: lift them again.
inline constexpr UINT kRaisePagesRequest = WM_APP + 2;
