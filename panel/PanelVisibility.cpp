// The show and hide sequences, over the page set the panel hands in.
#include "PanelVisibility.h"

#include <initializer_list>

#include "HotkeyState.h"

namespace {

// `command` for each window that exists, in the order given.
void ShowEach(int command, std::initializer_list<CWnd*> windows)
{
    for (CWnd* wnd : windows)
        if (wnd != nullptr && wnd->m_hWnd != nullptr)
            wnd->ShowWindow(command);
}

bool Hidden(CWnd* wnd) { return wnd != nullptr && wnd->m_hWnd != nullptr && !wnd->IsWindowVisible(); }

// The panel and its five pages in the show order, the focus left on the brightness page.
void ShowAll(CWnd& panel, const PanelPages& pages)
{
    ShowEach(SW_SHOW, {&panel, pages.brightness, pages.volume, pages.taskMgr, pages.keyboard, pages.switches});
    // The brightness page keeps the focus; the dialog manager hands it to the page's slider.
    if (pages.volume != nullptr && pages.volume->m_hWnd != nullptr)
        pages.volume->SetFocus();
    if (pages.brightness != nullptr && pages.brightness->m_hWnd != nullptr)
        pages.brightness->SetFocus();
}

} // namespace

void ShowPagesIfRequested(CWnd& panel, const PanelPages& pages)
{
    if (g_panelRequested != 1 || g_panelHidden != 1)
        return;
    ShowAll(panel, pages);
    g_panelHidden = 0;
}

void ShowPagesOnRequest(CWnd& panel, const PanelPages& pages)
{
    if (g_panelHidden == 1) {
        ShowPagesIfRequested(panel, pages);
        return;
    }
    const bool pageHiddenAlone = Hidden(pages.brightness) || Hidden(pages.volume) || Hidden(pages.taskMgr) ||
                                 Hidden(pages.keyboard) || Hidden(pages.switches);
    if (g_panelRequested == 1 && pageHiddenAlone)
        ShowAll(panel, pages);
}

void HideAfterStart(CWnd& panel, const PanelPages& pages)
{
    ShowEach(SW_HIDE, {&panel, pages.taskMgr, pages.keyboard, pages.brightness, pages.volume, pages.switches});
    g_panelRequested = 0;
    g_panelHidden = 1;
}

void HideFromCloseButton(CWnd& panel, const PanelPages& pages)
{
    g_panelRequested = 0;
    g_panelHidden = 1;
    ShowEach(SW_HIDE, {pages.switches, pages.taskMgr, pages.keyboard, pages.brightness, pages.volume, &panel});
}

void HideFromLauncher(CWnd* panel, const PanelPages& pages, CWnd& launcherPage)
{
    CWnd* otherLauncher = &launcherPage == pages.keyboard ? pages.taskMgr : pages.keyboard;
    ShowEach(SW_HIDE, {pages.switches, pages.volume, pages.brightness, otherLauncher, panel, &launcherPage});
    g_panelRequested = 0;
    g_panelHidden = 1;
}
