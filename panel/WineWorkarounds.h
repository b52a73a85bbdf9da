// What the panel does only under Wine, for an X server without a window manager; on Windows the
// platform does each of these by itself, and the panel leaves it to the platform.
#pragma once

#include "Wine.h"

struct WineWorkarounds {
    // Wine: X lifts the top-level window that takes the focus over every other, so a press on the
    // panel hides its pages behind it; a thread CBT hook asks the panel to lift them again, and so
    // does the end of a drag (PageStacking.h). On Windows owned pages stay above their owner.
    bool liftPagesOverPanel = false;
    // Wine: a layered window that moved loses parts of its picture where the pages above it went
    // by, so a drag that moved the panel composes its face again. Windows keeps the picture whole.
    bool composeFaceAfterDrag = false;

    // Everything on under Wine, nothing on Windows.
    static WineWorkarounds For(bool underWine) { return {underWine, underWine}; }
    static WineWorkarounds ForThisSystem() { return For(afx::RunningUnderWine()); }
};
