// Wine: raising the pages above the panel, and the thread-local watch that says when it is needed.
#include "PageStacking.h"

#include <algorithm>
#include <vector>

#include "Handles.h"
#include "Trace.h"

namespace {

// The GUI thread's alone: installed, read and removed there.
afx::unique_hhook s_focusHook;
HWND s_watchedPanel = nullptr;
UINT s_focusMessage = 0;

std::vector<HWND> VisiblePages(const PanelPages& pages)
{
    std::vector<HWND> visible;
    for (CWnd* page : pages.All()) {
        if (page != nullptr && page->m_hWnd != nullptr && ::IsWindowVisible(page->m_hWnd))
            visible.push_back(page->m_hWnd);
    }
    return visible;
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

void RaisePagesAbovePanel(HWND panel, const PanelPages& set)
{
    if (panel == nullptr || !::IsWindowVisible(panel))
        return;
    std::vector<HWND> pages = VisiblePages(set);

    // Lowest first, each to the very top: Wine lifts a window in X only when it becomes the first
    // of all, and a window already first would not count as moved. Taken from the bottom up, the
    // pages keep their order and each one really moves.
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

bool WatchFocusIntoPanel(HWND panel, UINT message)
{
    StopWatchingFocus();
    s_focusHook.reset(::SetWindowsHookExW(WH_CBT, FocusWatchProc, nullptr, ::GetCurrentThreadId()));
    if (!s_focusHook) {
        afx::Trace(L"the focus watch (WH_CBT hook) could not be installed, error %lu", ::GetLastError());
        return false;
    }
    s_watchedPanel = panel;
    s_focusMessage = message;
    return true;
}

void StopWatchingFocus()
{
    s_focusHook.reset();
    s_watchedPanel = nullptr;
}
