// Showing and hiding the panel and its five pages, in the orders the program has always used.
#pragma once

class CWnd;

// The show request's steps: when the hotkey has asked for it while everything was hidden, shows
// the panel and the pages, leaves the keyboard focus on the brightness page, and clears
// g_panelHidden. Each slider page reads its hardware as it is shown, before it becomes visible.
void ShowPagesIfRequested(CWnd* panel);

// The hotkey's request (the hook posts it, and another start of the program makes it): while
// everything is hidden, ShowPagesIfRequested; while the panel is shown, brings back every page that was
// hidden on its own (Esc on a page), with the focus as a fresh show leaves it.
void ShowPagesOnRequest(CWnd* panel);

// Timer 1, once after start: hides everything and waits for the hotkey.
void HideAfterStart(CWnd* panel);

// The panel's close mark, and Esc on the panel: hides everything.
void HideFromCloseButton(CWnd* panel);

// A launcher page after starting its program: hides its four siblings, its owner (the panel)
// and itself.
void HideFromLauncher(CWnd* launcherPage);
