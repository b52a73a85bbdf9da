// The panel's private messages, posted to it by the hooks and by another start of the program.
#pragma once

#include <windows.h>

// The hotkey has shown the panel: show the pages now rather than at the show timer's next tick
// (and, while they are shown, bring back any page hidden on its own).
inline constexpr UINT kShowPagesRequest = WM_APP + 1;
// The keyboard focus went into the panel, which lifts it over its pages in X: lift them again.
inline constexpr UINT kRaisePagesRequest = WM_APP + 2;

// Another start of the program in this session asks the running one to show its panel and pages,
// as the tablet key does. A registered message, since it crosses processes.
inline constexpr wchar_t kShowPanelMessageName[] = L"Tabvisor.ShowPanel";
inline UINT ShowPanelMessage()
{
    static const UINT message = ::RegisterWindowMessageW(kShowPanelMessageName);
    return message;
}
