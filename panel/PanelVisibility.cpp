// The show and hide sequences, over the page pointers that the panel shares.
#include "PanelVisibility.h"

#include "Afx.h"
#include "BrightnessPage.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "SwitchPage.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"

namespace {

void Show(CWnd* wnd, int command)
{
    if (wnd != nullptr && wnd->m_hWnd != nullptr)
        wnd->ShowWindow(command);
}

bool Hidden(CWnd* wnd) { return wnd != nullptr && wnd->m_hWnd != nullptr && !wnd->IsWindowVisible(); }

// The panel and its five pages in the show order, the focus left on the brightness page.
void ShowAll(CWnd* panel)
{
    Show(panel, SW_SHOW);
    Show(g_brightnessPage, SW_SHOW);
    Show(g_volumePage, SW_SHOW);
    Show(g_taskMgrPage, SW_SHOW);
    Show(g_keyboardPage, SW_SHOW);
    Show(g_switchPage, SW_SHOW);
    // The brightness page keeps the focus; the dialog manager hands it to the page's slider.
    if (g_volumePage != nullptr && g_volumePage->m_hWnd != nullptr)
        g_volumePage->SetFocus();
    if (g_brightnessPage != nullptr && g_brightnessPage->m_hWnd != nullptr)
        g_brightnessPage->SetFocus();
}

} // namespace

void ShowPagesIfRequested(CWnd* panel)
{
    if (g_panelRequested != 1 || g_panelHidden != 1)
        return;
    ShowAll(panel);
    g_panelHidden = 0;
}

void ShowPagesOnRequest(CWnd* panel)
{
    if (g_panelHidden == 1) {
        ShowPagesIfRequested(panel);
        return;
    }
    const bool pageHiddenAlone = Hidden(g_brightnessPage) || Hidden(g_volumePage) || Hidden(g_taskMgrPage) ||
                                 Hidden(g_keyboardPage) || Hidden(g_switchPage);
    if (g_panelRequested == 1 && pageHiddenAlone)
        ShowAll(panel);
}

void HideAfterStart(CWnd* panel)
{
    Show(panel, SW_HIDE);
    Show(g_taskMgrPage, SW_HIDE);
    Show(g_keyboardPage, SW_HIDE);
    Show(g_brightnessPage, SW_HIDE);
    Show(g_volumePage, SW_HIDE);
    Show(g_switchPage, SW_HIDE);
    g_panelRequested = 0;
    g_panelHidden = 1;
}

void HideFromCloseButton(CWnd* panel)
{
    g_panelRequested = 0;
    g_panelHidden = 1;
    Show(g_switchPage, SW_HIDE);
    Show(g_taskMgrPage, SW_HIDE);
    Show(g_keyboardPage, SW_HIDE);
    Show(g_brightnessPage, SW_HIDE);
    Show(g_volumePage, SW_HIDE);
    Show(panel, SW_HIDE);
}

void HideFromLauncher(CWnd* launcherPage)
{
    Show(g_switchPage, SW_HIDE);
    Show(g_volumePage, SW_HIDE);
    Show(g_brightnessPage, SW_HIDE);
    CWnd* otherLauncher = launcherPage == static_cast<CWnd*>(g_keyboardPage) ? static_cast<CWnd*>(g_taskMgrPage)
                                                                              : static_cast<CWnd*>(g_keyboardPage);
    Show(otherLauncher, SW_HIDE);
    Show(launcherPage->GetParent(), SW_HIDE);
    Show(launcherPage, SW_HIDE);
    g_panelRequested = 0;
    g_panelHidden = 1;
}
