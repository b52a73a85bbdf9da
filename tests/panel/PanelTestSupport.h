// The fixture of tests that run the main panel: GDI+, an application object, a fresh simulated
// tablet, and the shared flags back at their start values.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "BrightnessPage.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "PagePlacement.h"
#include "ProgramTestSupport.h"
#include "SwitchPage.h"
#include "TabvisorDlg.h"
#include "TaskMgrPage.h"
#include "TestTablet.h"
#include "VolumePage.h"

// The panel has hidden itself after its start and waits for the key. A key pressed before that
// is dropped by the start-up hide, which a loaded machine can delay past any fixed wait.
inline bool ProgramWaiting() { return g_panelHidden == 1; }

// The panel's five pages, in its creation order: switches, volume, brightness, keyboard, Task Manager.
inline std::vector<CWnd*> PagesOf(CTabvisorDlg& panel)
{
    return {panel.m_pSwitchPage, panel.m_pVolumePage, panel.m_pBrightnessPage, panel.m_pKeyboardPage,
            panel.m_pTaskMgrPage};
}

inline bool AnyPageVisible(CTabvisorDlg& panel)
{
    const std::vector<CWnd*> pages = PagesOf(panel);
    return std::any_of(pages.begin(), pages.end(), [](CWnd* p) { return p->IsWindowVisible(); });
}

inline bool AllPagesVisible(CTabvisorDlg& panel)
{
    const std::vector<CWnd*> pages = PagesOf(panel);
    return std::all_of(pages.begin(), pages.end(), [](CWnd* p) { return p->IsWindowVisible(); });
}

// Each page at its fixed offset from the panel's top-left corner.
inline void ExpectPagesPlaced(CTabvisorDlg& panel)
{
    CRect panelRect;
    panel.GetWindowRect(&panelRect);
    const PageKind kinds[] = {PageKind::Switches, PageKind::Volume, PageKind::Brightness, PageKind::Keyboard,
                              PageKind::TaskMgr};
    const std::vector<CWnd*> pages = PagesOf(panel);
    for (size_t i = 0; i < pages.size(); ++i) {
        CRect pageRect;
        pages[i]->GetWindowRect(&pageRect);
        EXPECT_EQ(pageRect, PageRect(kinds[i], panelRect)) << "page " << i;
    }
}

// Counts the WM_TIMER messages this thread takes from its queue, by window and timer id.
class TimerTickCounter {
public:
    TimerTickCounter() : m_hook(::SetWindowsHookExW(WH_GETMESSAGE, &Hook, nullptr, ::GetCurrentThreadId()))
    {
        Current() = this;
    }
    ~TimerTickCounter()
    {
        ::UnhookWindowsHookEx(m_hook);
        Current() = nullptr;
    }
    TimerTickCounter(const TimerTickCounter&) = delete;
    TimerTickCounter& operator=(const TimerTickCounter&) = delete;

    void Clear() { m_ticks.clear(); }
    int Of(HWND hwnd, UINT_PTR id) const
    {
        const auto found = m_ticks.find({hwnd, id});
        return found == m_ticks.end() ? 0 : found->second;
    }

private:
    static TimerTickCounter*& Current()
    {
        static TimerTickCounter* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM removed, LPARAM lParam)
    {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_TIMER && Current() != nullptr)
            ++Current()->m_ticks[{msg->hwnd, msg->wParam}];
        return ::CallNextHookEx(nullptr, code, removed, lParam);
    }

    HHOOK m_hook;
    std::map<std::pair<HWND, UINT_PTR>, int> m_ticks;
};

inline bool AllVisible(CTabvisorDlg& panel) { return panel.IsWindowVisible() && AllPagesVisible(panel); }
inline bool NoneVisible(CTabvisorDlg& panel) { return !panel.IsWindowVisible() && !AnyPageVisible(panel); }

class PanelTestFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gdiplus = std::make_unique<GdiplusSession>(); }
    static void TearDownTestSuite() { s_gdiplus.reset(); }

    void SetUp() override
    {
        g_panelRequested = 0;
        g_panelHidden = 0;
        g_upKeyDown = 0;
        g_downKeyDown = 0;
    }

    INT_PTR Run(CDialog& panel, ModalScript& script, UINT watchdogMs = 15000)
    {
        return RunModal(m_app, panel, script, watchdogMs);
    }

    CWinApp m_app;
    TestTablet m_tablet;
    static inline std::unique_ptr<GdiplusSession> s_gdiplus;
};
