// Showing and hiding the panel and its five pages, in the orders the program has always used.
// Each takes the panel and the page set it owns.
#pragma once

#include "PanelPages.h"

// The show request's steps: when the hotkey has asked for it while everything was hidden, shows
// the panel and the pages, leaves the keyboard focus on the brightness page, and clears
// g_panelHidden. Each slider page reads its hardware as it is shown, before it becomes visible.
void ShowPagesIfRequested(CWnd& panel, const PanelPages& pages);

// The hotkey's request (the hook posts it, and another start of the program makes it): while
// everything is hidden, ShowPagesIfRequested; while the panel is shown, brings back every page that was
// hidden on its own (Esc on a page), with the focus as a fresh show leaves it.
void ShowPagesOnRequest(CWnd& panel, const PanelPages& pages);

// Timer 1, once after start: hides everything and waits for the hotkey.
void HideAfterStart(CWnd& panel, const PanelPages& pages);

// The panel's close mark, and Esc on the panel: hides everything.
void HideFromCloseButton(CWnd& panel, const PanelPages& pages);

// A launcher page (the keyboard or the Task Manager page of `pages`) after starting its program:
// hides its four siblings, the panel and itself. A page without a panel (null, no pages) hides
// only itself, by the same rules.
void HideFromLauncher(CWnd* panel, const PanelPages& pages, CWnd& launcherPage);
