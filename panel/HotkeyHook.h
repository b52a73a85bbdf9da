// The low-level keyboard hook procedure and its installation.
#pragma once

#include <windows.h>

// Sets the shared flags for each key event, shows the panel for the hotkey and asks it to show
// its pages (or, while it is shown, the pages hidden on their own), and passes every event on:
// no key is ever swallowed.
LRESULT CALLBACK HotkeyHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Installs the hook for the whole desktop into g_hHook, and removes it again.
void InstallHotkeyHook();
void RemoveHotkeyHook();

// Installs a new hook and only then removes the old one, so that no key falls between the two.
// If the new one cannot be installed, the old one stays.
void ReinstallHotkeyHook();
