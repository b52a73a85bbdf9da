// The fixture of tests that run the main panel: GDI+, an application object, a fresh simulated
// tablet, and the shared flags back at their start values.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "BrightnessPage.h"
#include "HotkeyHook.h"
#include "HotkeyState.h"
#include "KeyEventRules.h"
#include "KeyboardPage.h"
#include "PagePlacement.h"
#include "PanelMessages.h"
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
    const auto pages = panel.Pages().All();
    return {pages.begin(), pages.end()};
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

// Records, for each watched page, its slider's position at the moment the page first became
// visible (the WM_WINDOWPOSCHANGED of its show, before anything else of this thread runs), while
// started.
class FirstVisibleRecorder {
public:
    // `pages`: each page window with its slider's control id.
    static void Start(std::map<HWND, int>* positions, std::map<HWND, int> pages)
    {
        State& state = Current();
        state = State{positions, std::move(pages),
                      ::SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId())};
    }
    static void Stop()
    {
        State& state = Current();
        if (state.hook != nullptr)
            ::UnhookWindowsHookEx(state.hook);
        state = State{};
    }

private:
    struct State {
        std::map<HWND, int>* positions = nullptr;
        std::map<HWND, int> pages;
        HHOOK hook = nullptr;
    };
    static State& Current()
    {
        static State state;
        return state;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        State& state = Current();
        if (code == HC_ACTION && msg->message == WM_WINDOWPOSCHANGED && state.positions != nullptr &&
            (reinterpret_cast<const WINDOWPOS*>(msg->lParam)->flags & SWP_SHOWWINDOW) != 0) {
            const auto page = state.pages.find(msg->hwnd);
            if (page != state.pages.end() && state.positions->count(msg->hwnd) == 0)
                (*state.positions)[msg->hwnd] =
                    static_cast<int>(::SendDlgItemMessageW(msg->hwnd, page->second, TBM_GETPOS, 0, 0));
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// The threads this process has now.
inline size_t ThreadsOfThisProcess()
{
    size_t count = 0;
    afx::unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            ++count;
    return count;
}

// The hotkey's key-down straight through the hook procedure, on this thread, and the request it
// posted taken by the panel at once: the show path without real input.
inline void ShowThroughTheHook(CTabvisorDlg& panel)
{
    KBDLLHOOKSTRUCT key{};
    key.vkCode = kHotkeyVk;
    key.scanCode = kHotkeyScan;
    HotkeyHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
    MSG msg;
    while (::PeekMessageW(&msg, panel.m_hWnd, kShowPanelRequest, kShowPanelRequest, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

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
