// Raising the pages above the panel, and the thread-local watch that says when it is needed.
#include "PageStacking.h"

#include <algorithm>
#include <vector>

#include "Afx.h"
#include "BrightnessPage.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "SwitchPage.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"

namespace {

HHOOK s_focusHook = nullptr;
HWND s_watchedPanel = nullptr;
UINT s_focusMessage = 0;

std::vector<HWND> VisiblePages()
{
    std::vector<HWND> pages;
    for (CWnd* page : {static_cast<CWnd*>(g_switchPage), static_cast<CWnd*>(g_volumePage),
                       static_cast<CWnd*>(g_brightnessPage), static_cast<CWnd*>(g_keyboardPage),
                       static_cast<CWnd*>(g_taskMgrPage)}) {
        if (page != nullptr && page->m_hWnd != nullptr && ::IsWindowVisible(page->m_hWnd))
            pages.push_back(page->m_hWnd);
    }
    return pages;
}

LRESULT CALLBACK FocusWatchProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SETFOCUS && s_watchedPanel != nullptr) {
        const HWND gaining = reinterpret_cast<HWND>(wParam);
        if (gaining != nullptr && (gaining == s_watchedPanel || ::IsChild(s_watchedPanel, gaining)))
            ::PostMessageW(s_watchedPanel, s_focusMessage, 0, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void RaisePagesAbovePanel(HWND panel)
{
    if (panel == nullptr || !::IsWindowVisible(panel))
        return;
    std::vector<HWND> pages = VisiblePages();

    // Lowest first, each to the very top: Wine lifts a window in X only when it becomes the first
    // of all, and a window already first would not count as moved. Taken from the bottom up, the
    // pages keep their order and each one really moves. Owned by a topmost panel, the pages are
    // topmost on Windows already; asking for it changes nothing there.
    std::vector<HWND> bottomUp;
    for (HWND w = ::GetWindow(panel, GW_HWNDPREV); w != nullptr && !pages.empty(); w = ::GetWindow(w, GW_HWNDPREV)) {
        if (auto it = std::find(pages.begin(), pages.end(), w); it != pages.end()) {
            bottomUp.push_back(w);
            pages.erase(it);
        }
    }
    bottomUp.insert(bottomUp.end(), pages.begin(), pages.end());  // below the panel: should not be
    for (HWND page : bottomUp)
        ::SetWindowPos(page, HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void WatchFocusIntoPanel(HWND panel, UINT message)
{
    StopWatchingFocus();
    s_watchedPanel = panel;
    s_focusMessage = message;
    s_focusHook = ::SetWindowsHookExW(WH_CBT, FocusWatchProc, nullptr, ::GetCurrentThreadId());
}

void StopWatchingFocus()
{
    if (s_focusHook != nullptr)
        ::UnhookWindowsHookEx(s_focusHook);
    s_focusHook = nullptr;
    s_watchedPanel = nullptr;
}
