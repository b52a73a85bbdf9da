// The panel's private messages, posted to it by the hooks, by whoever in the program wants it
// shown, and by another start of the program.
#pragma once

#include <windows.h>

// Show the panel and its pages, as the tablet key does: the one way in to the show path. Posted by
// the keyboard hook's thread for the hotkey; any thread (or another process, by the panel's
// window) may post it. The panel answers on its GUI thread with ShowPanelOnRequest.
inline constexpr UINT kShowPanelRequest = WM_APP + 1;
// Wine: the keyboard focus went into the panel, which lifts it over its pages in X: lift them
// again. Posted only under Wine (see PageStacking.h).
inline constexpr UINT kRaisePagesRequest = WM_APP + 2;
// A launcher page (its window in wParam) has started its program: the panel hides its pages, itself
// and that page, in the launcher's order. Sent by the page to its owner; the panel answers 1.
inline constexpr UINT kLauncherStarted = WM_APP + 3;

// Another start of the program in this session asks the running one to show its panel and pages,
// as the tablet key does. A registered message, since it crosses processes.
inline constexpr wchar_t kShowPanelMessageName[] = L"Tabvisor.ShowPanel";
inline UINT ShowPanelMessage()
{
    static const UINT message = ::RegisterWindowMessageW(kShowPanelMessageName);
    return message;
}
