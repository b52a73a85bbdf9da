// Wine: keeping the five pages above the panel on screen. The window system keeps owned windows
// above their owner, and on Windows nothing here is needed. An X server without a window manager
// stacks Wine's windows by another rule: the top-level window that takes the keyboard focus is
// lifted to the top. A press on the panel (its surface, which starts a drag, or a click area)
// focuses it and so lifts it over its own pages, which vanish and lose their clicks. After every
// focus change into the panel the pages are lifted again. The panel uses this only under Wine
// (WineWorkarounds.h).
#pragma once

#include <windows.h>

#include "PanelPages.h"

// Puts the visible ones of `pages` back on top of the panel, in the order they have among
// themselves.
void RaisePagesAbovePanel(HWND panel, const PanelPages& pages);

// While installed, a focus change into `panel` or one of its controls posts `message` to the
// panel, so that it can raise its pages once the change (and the X restack with it) is done.
// One watch per thread; the hook is the thread's own, not global. False, with a trace, when the
// system refuses the hook.
bool WatchFocusIntoPanel(HWND panel, UINT message);
void StopWatchingFocus();
