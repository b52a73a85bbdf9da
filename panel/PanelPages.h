// The panel's five pages as windows: a view of the pages the panel owns, handed to whatever needs
// to show, hide, stack or name them, so that none of those needs the pages' own classes.
#pragma once

#include <array>

#include "Afx.h"

// In the panel's creation order: switches, volume, brightness, keyboard, Task Manager. A page may be
// null (not made); nobody frees through these.
struct PanelPages {
    CWnd* switches = nullptr;
    CWnd* volume = nullptr;
    CWnd* brightness = nullptr;
    CWnd* keyboard = nullptr;
    CWnd* taskMgr = nullptr;

    std::array<CWnd*, 5> All() const { return {switches, volume, brightness, keyboard, taskMgr}; }
};
