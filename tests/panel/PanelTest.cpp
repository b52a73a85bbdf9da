// The main panel under Wine: creation order, the start-up hide, page placement through moves, the
// hotkey through a real low-level hook, the close mark, the system menu and About box, and Esc.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BrightnessPage.h"
#include "DebugTrace.h"
#include "HotkeyHook.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "ModalScript.h"
#include "PagePlacement.h"
#include "PanelTestSupport.h"
#include "PanelVisibility.h"
#include "SwitchPage.h"
#include "TabvisorDlg.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"

namespace {

std::vector<std::string> g_events;

// The panel with its creation messages recorded.
class CProbePanel : public CTabvisorDlg {
protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        g_events.push_back("create");
        return CTabvisorDlg::OnCreate(cs);
    }
    void OnMove(int x, int y)
    {
        g_events.push_back("move");
        CTabvisorDlg::OnMove(x, y);
    }
    BOOL OnInitDialog() override
    {
        g_events.push_back("initdialog");
        return CTabvisorDlg::OnInitDialog();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbePanel, CTabvisorDlg)
    ON_WM_CREATE()
    ON_WM_MOVE()
END_MESSAGE_MAP()

class PanelTest : public PanelTestFixture {};

TEST_F(PanelTest, StartsInOrderShowsBrieflyThenHidesAndWaits)
{
    g_events.clear();
    CreationRecorder creations;
    ShowOrderRecorder zOrder;
    CProbePanel panel;
    bool visibleAtStart = false;
    unsigned char flagsAtStart[2] = {9, 9};
    std::vector<HWND> pageWindows;
    ModalScript script;
    script
        .Then(5,
              [&] {
                  for (CWnd* page : PagesOf(panel))
                      pageWindows.push_back(page->m_hWnd);
                  visibleAtStart = panel.IsWindowVisible() != FALSE;
                  flagsAtStart[0] = g_panelRequested;
                  flagsAtStart[1] = g_panelHidden;
              })
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  EXPECT_FALSE(panel.IsWindowVisible());
                  EXPECT_FALSE(AnyPageVisible(panel));
                  EXPECT_EQ(g_panelRequested, 0);
                  EXPECT_EQ(g_panelHidden, 1);
                  EXPECT_NE(g_hHook, nullptr);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);

    ASSERT_GE(g_events.size(), 3u);
    EXPECT_EQ(g_events[0], "create");
    EXPECT_EQ(g_events[1], "move");
    EXPECT_EQ(g_events[2], "initdialog");
    EXPECT_TRUE(visibleAtStart);
    EXPECT_EQ(flagsAtStart[0], 0);
    EXPECT_EQ(flagsAtStart[1], 0);
    EXPECT_EQ(g_hHook, nullptr);  // removed with the panel

    // The pages were created right after the panel, hidden, in this order.
    ASSERT_GE(creations.dialogs.size(), 6u);
    EXPECT_EQ(std::vector<HWND>(creations.dialogs.begin() + 1, creations.dialogs.begin() + 6), pageWindows);
    // The panel asked to stay above every ordinary window (Wine then lifts its last page instead).
    EXPECT_NE(std::find(zOrder.madeTopmost.begin(), zOrder.madeTopmost.end(), creations.dialogs[0]),
              zOrder.madeTopmost.end());
}

TEST_F(PanelTest, PagesShowAndTheStartUpHideGoesInTheirOwnOrders)
{
    CTabvisorDlg panel;
    ShowOrderRecorder order;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  order.shown.clear();
                  SendHotkey();
              })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  const std::vector<HWND> shown = {
                      panel.m_hWnd, panel.m_pBrightnessPage->m_hWnd, panel.m_pVolumePage->m_hWnd,
                      panel.m_pTaskMgrPage->m_hWnd, panel.m_pKeyboardPage->m_hWnd, panel.m_pSwitchPage->m_hWnd};
                  EXPECT_EQ(order.shown, shown);
                  // The start-up hide's steps, on everything shown.
                  order.hidden.clear();
                  HideAfterStart(panel, panel.Pages());
                  const std::vector<HWND> hidden = {
                      panel.m_hWnd, panel.m_pTaskMgrPage->m_hWnd, panel.m_pKeyboardPage->m_hWnd,
                      panel.m_pBrightnessPage->m_hWnd, panel.m_pVolumePage->m_hWnd, panel.m_pSwitchPage->m_hWnd};
                  EXPECT_EQ(order.hidden, hidden);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

// A waiting program costs nothing: no timer of the panel or its pages fires and no library is
// called (the tablet's counters stand still). Shown, the slider pages poll; hidden again, they
// stop. Counted, not timed: a loaded machine delays every tick alike.
TEST_F(PanelTest, NothingTicksOrCallsALibraryWhileHiddenAndTheSlidersPollWhileShown)
{
    CTabvisorDlg panel;
    TimerTickCounter ticks;
    long long calls = 0;
    const auto libraryCalls = [&] {
        return m_tablet.Number("brightness_queries") + m_tablet.Number("volume_reads") + m_tablet.Number("ec_reads");
    };
    const auto ticksOf = [&](CWnd* window) { return ticks.Of(window->m_hWnd, 0) + ticks.Of(window->m_hWnd, 1); };
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  ticks.Clear();
                  calls = libraryCalls();
              })
        .Then(2000,
              [&] {
                  for (CWnd* window : {static_cast<CWnd*>(&panel), panel.Pages().volume, panel.Pages().brightness})
                      EXPECT_EQ(ticksOf(window), 0);
                  EXPECT_EQ(libraryCalls(), calls);
                  SendHotkey();
              })
        .ThenWhen([&] { return ticks.Of(panel.m_pVolumePage->m_hWnd, 0) >= 5; }, 20000,
              [&] {
                  EXPECT_GE(ticks.Of(panel.m_pBrightnessPage->m_hWnd, 0), 4);
                  EXPECT_GT(libraryCalls(), calls + 8);  // the reads of the show, then the polls
                  panel.GetDlgItem(IDC_PANEL_CLOSE)->SendMessage(BM_CLICK);
                  PumpFor(50);  // a tick already queued
                  ticks.Clear();
                  calls = libraryCalls();
              })
        .Then(1000,
              [&] {
                  EXPECT_EQ(ticksOf(panel.Pages().volume) + ticksOf(panel.Pages().brightness) + ticksOf(&panel), 0);
                  EXPECT_EQ(libraryCalls(), calls);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script, 40000);
}

// Each slider shows what the tablet holds in the frame that first shows it: the values set behind
// the hidden program's back are on the sliders the moment their pages become visible.
TEST_F(PanelTest, ValuesSetWhileHiddenAreOnTheSlidersWhenTheirPagesFirstShow)
{
    CTabvisorDlg panel;
    std::map<HWND, int> positionWhenVisible;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  m_tablet.SetBrightness(6);
                  m_tablet.SetVolume(0.81f);
                  FirstVisibleRecorder::Start(&positionWhenVisible,
                                              {{panel.m_pBrightnessPage->m_hWnd, IDC_BRIGHTNESS_SLIDER},
                                               {panel.m_pVolumePage->m_hWnd, IDC_VOLUME_SLIDER}});
                  SendHotkey();
              })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  FirstVisibleRecorder::Stop();
                  EXPECT_EQ(positionWhenVisible[panel.m_pBrightnessPage->m_hWnd], 6);
                  EXPECT_EQ(positionWhenVisible[panel.m_pVolumePage->m_hWnd], 81);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

// One process may make and end many panels (the tests do): each takes its hook and its thread
// with it, and the last one leaves no hook that keys would still go through.
TEST_F(PanelTest, ManyPanelsInOneProcessLeaveNoHookAndNoThreadBehind)
{
    size_t threadsBefore = 0;
    for (int run = 0; run < 5; ++run) {
        CTabvisorDlg panel;
        size_t threadsDuring = 0;
        ModalScript script;
        script.ThenWhen(ProgramWaiting, 10000, [&] {
            EXPECT_NE(g_hHook, nullptr);
            threadsDuring = ThreadsOfThisProcess();
            panel.EndDialog(IDCANCEL);
        });
        Run(panel, script);
        EXPECT_EQ(g_hHook, nullptr);
        // The first panel may start threads of the system's own that stay (its libraries').
        if (run == 0)
            threadsBefore = ThreadsOfThisProcess();
        else
            EXPECT_EQ(threadsDuring, threadsBefore + 1) << "the hook's, and no other";
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "after panel " << run;
    }
    const unsigned calls = g_hookCalls;
    SendHotkey();
    PumpFor(500);
    EXPECT_EQ(g_hookCalls, calls) << "a hook is still installed";
}

TEST_F(PanelTest, PagesFollowEveryMoveAlsoWhileHiddenAndBeyondTheScreen)
{
    CTabvisorDlg panel;
    ModalScript script;
    script
        .Then(5,
              [&] {
                  // Centred in the work area at creation, and the pages placed for it.
                  CRect rect;
                  panel.GetWindowRect(&rect);
                  EXPECT_EQ(rect.Size(), CSize(kPanelWidth, kPanelHeight));
                  const CRect area = WorkArea();
                  EXPECT_NEAR(rect.left, area.left + (area.Width() - kPanelWidth) / 2, 1);
                  EXPECT_NEAR(rect.top, area.top + (area.Height() - kPanelHeight) / 2, 1);
                  ExpectPagesPlaced(panel);
              })
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  // Hidden now; a move still carries the pages along.
                  ASSERT_FALSE(panel.IsWindowVisible());
                  for (CPoint to : {CPoint(10, 20), CPoint(11, 21), CPoint(-600, -350), CPoint(2000, 1500)}) {
                      panel.SetWindowPos(nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                      ExpectPagesPlaced(panel);
                  }
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

TEST_F(PanelTest, HotkeyShowsThePanelAndItsPagesAndNeverHides)
{
    CTabvisorDlg panel;
    CRect firstPlaces[5];
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  EXPECT_TRUE(panel.IsWindowVisible());
                  EXPECT_EQ(g_panelRequested, 1);
                  EXPECT_TRUE(AllPagesVisible(panel));
                  EXPECT_EQ(g_panelHidden, 0);
                  EXPECT_EQ(::GetFocus(), ::GetDlgItem(panel.m_pBrightnessPage->m_hWnd, IDC_BRIGHTNESS_SLIDER));
                  const std::vector<CWnd*> pages = PagesOf(panel);
                  for (size_t i = 0; i < pages.size(); ++i)
                      pages[i]->GetWindowRect(&firstPlaces[i]);
                  // The hotkey never hides.
                  SendHotkey();
              })
        .Then(150,
              [&] {
                  EXPECT_TRUE(panel.IsWindowVisible());
                  EXPECT_TRUE(AllPagesVisible(panel));
                  ShowOrderRecorder hides;
                  panel.GetDlgItem(IDC_PANEL_CLOSE)->SendMessage(BM_CLICK);
                  const std::vector<HWND> expected = {
                      panel.m_pSwitchPage->m_hWnd, panel.m_pTaskMgrPage->m_hWnd, panel.m_pKeyboardPage->m_hWnd,
                      panel.m_pBrightnessPage->m_hWnd, panel.m_pVolumePage->m_hWnd, panel.m_hWnd};
                  EXPECT_EQ(hides.hidden, expected);
                  EXPECT_EQ(g_panelRequested, 0);
                  EXPECT_EQ(g_panelHidden, 1);
              })
        .Then(150,
              [&] {
                  EXPECT_FALSE(panel.IsWindowVisible());
                  EXPECT_FALSE(AnyPageVisible(panel));
                  SendHotkey();
              })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  // Everything is back, in the same places; nothing was created anew.
                  EXPECT_TRUE(AllPagesVisible(panel));
                  const std::vector<CWnd*> pages = PagesOf(panel);
                  for (size_t i = 0; i < pages.size(); ++i) {
                      CRect now;
                      pages[i]->GetWindowRect(&now);
                      EXPECT_EQ(now, firstPlaces[i]);
                  }
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

TEST_F(PanelTest, HotkeyInTheFirstFiftyMillisecondsIsLost)
{
    CTabvisorDlg panel;
    bool pressedWhileStarting = false;
    ModalScript script;
    // Straight through the hook procedure: real input may take longer than the 50 ms to arrive.
    script.Then(1,
                [&] {
                    KBDLLHOOKSTRUCT key{};
                    key.vkCode = 0xFF;
                    key.scanCode = 0x2C;
                    HotkeyHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
                    pressedWhileStarting = g_panelRequested == 1 && g_panelHidden == 0;
                })
        .Then(400,
              [&] {
                  if (pressedWhileStarting) {
                      EXPECT_FALSE(panel.IsWindowVisible());
                      EXPECT_FALSE(AnyPageVisible(panel));
                      EXPECT_EQ(g_panelRequested, 0);
                  }
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
    if (!pressedWhileStarting)
        GTEST_SKIP() << "the key arrived after the start-up hide; nothing to check";
}

TEST_F(PanelTest, SystemMenuEndsWithTheAboutItemWhichOpensTheAboutBoxModally)
{
    CTabvisorDlg panel;
    bool aboutSeen = false;
    ModalScript script;
    script
        .Then(5,
              [&] {
                  // Wine gives a window without WS_SYSMENU no system menu at all, where Windows
                  // gives one; where there is a menu, the About item ends it.
                  if (CMenu* menu = panel.GetSystemMenu(FALSE)) {
                      const int count = menu->GetMenuItemCount();
                      ASSERT_GE(count, 2);
                      EXPECT_TRUE(menu->GetMenuState(count - 2, MF_BYPOSITION) & MF_SEPARATOR);
                      EXPECT_EQ(menu->GetMenuItemID(count - 1), IDM_ABOUTBOX);
                      CString text;
                      menu->GetMenuString(count - 1, text, MF_BYPOSITION);
                      EXPECT_EQ(text, L"\u5173\u4e8e Orvo(&A)...");
                  }
                  // Opens the About box in a nested modal loop; the next step runs inside it.
                  panel.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
                  EXPECT_TRUE(aboutSeen);
                  panel.EndDialog(IDCANCEL);
              })
        .Then(100, [&] {
            HWND about = ::FindWindowW(nullptr, L"\u5173\u4e8e Orvo");
            ASSERT_NE(about, nullptr);
            aboutSeen = true;
            EXPECT_TRUE(::IsWindowVisible(about));
            EXPECT_EQ(::GetWindow(about, GW_OWNER), panel.m_hWnd);
            EXPECT_FALSE(panel.IsWindowEnabled());  // modal over the panel
            ::PostMessageW(about, WM_COMMAND, IDOK, 0);
        });
    Run(panel, script);
}

// Esc on a panel control is IDCANCEL, which only hides everything; a stray IDOK does nothing;
// the close command (as Alt+F4, the system menu and the setup give it) ends the run.
TEST_F(PanelTest, EscAndOkOnThePanelEndNothingOnlyTheCloseCommandEndsTheRunAndRemovesTheHook)
{
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return AllVisible(panel); }, 10000,
              [&] {
                  panel.SendMessage(WM_COMMAND, IDOK);
                  EXPECT_TRUE(AllVisible(panel));
                  ::PostMessageW(::GetDlgItem(panel.m_hWnd, IDC_PANEL_CLOSE), WM_KEYDOWN, VK_ESCAPE, 1);
              })
        .Then(300,
              [&] {
                  EXPECT_TRUE(NoneVisible(panel));
                  EXPECT_EQ(g_panelRequested, 0);
                  EXPECT_EQ(g_panelHidden, 1);
                  EXPECT_NE(g_hHook, nullptr);
                  ::PostMessageW(panel.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
              });
    EXPECT_EQ(Run(panel, script), IDCANCEL);
    EXPECT_EQ(g_hHook, nullptr);
}

TEST_F(PanelTest, CloseMarkOnlyHidesAndInertAreasDoNothing)
{
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  for (int id : {IDC_PANEL_AREA_1004, IDC_PANEL_AREA_1008, IDC_PANEL_AREA_1010, IDC_PANEL_AREA_1009,
                                 IDC_PANEL_AREA_1011, IDC_PANEL_AREA_1017})
                      panel.GetDlgItem(id)->SendMessage(BM_CLICK);
                  EXPECT_TRUE(panel.IsWindowVisible());
                  EXPECT_TRUE(AllPagesVisible(panel));
                  panel.GetDlgItem(IDC_PANEL_CLOSE)->SendMessage(BM_CLICK);
              })
        .Then(300,
              [&] {
                  EXPECT_FALSE(panel.IsWindowVisible());
                  EXPECT_NE(panel.m_hWnd, nullptr);  // the run goes on
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

} // namespace

namespace {

TEST_F(PanelTest, EveryStartRegistersTheBootTaskAgainWithTheSameArguments)
{
    for (int start = 1; start <= 2; ++start) {
        CTabvisorDlg panel;
        ModalScript script;
        script.Then(100, [&] { panel.EndDialog(IDCANCEL); });
        Run(panel, script);

        auto status = m_tablet.Status();
        EXPECT_EQ(status["task_calls"], std::to_string(start));
        EXPECT_EQ(status["task_kind"], "1");
        EXPECT_EQ(status["task_name"], "Tabvisor");
        EXPECT_EQ(status["task_program"], "C:\\Program Files\\Tabvisor\\Tabvisor.exe");
        EXPECT_EQ(status["task_author"], "Quorvanta");
        EXPECT_EQ(status["task_description"],
                  "hotkey function switch auto run here.\\nIf you don't want it to start with system boot,"
                  "\\ndelete this task!");
    }
}

} // namespace

namespace {

// Runs the panel with the program's resources looked up in `module` for its face.
INT_PTR RunWithFaceFrom(CWinApp& app, HMODULE module)
{
    HINSTANCE saved = AfxGetModuleState()->m_hCurrentResourceHandle;
    AfxGetModuleState()->m_hCurrentResourceHandle = module;
    CTabvisorDlg panel;
    ModalScript script;
    script.Then(500, [&] { panel.EndDialog(IDOK); });  // only reached if the panel wrongly came up
    const INT_PTR result = RunModal(app, panel, script);
    AfxGetModuleState()->m_hCurrentResourceHandle = saved;
    return result;
}

TEST_F(PanelTest, WithoutAUsableFaceThePanelIsNotCreatedAndTheHookIsGone)
{
    // No face at all: a module without the picture. Nothing is shown; a developer's trace says why.
    {
        CreationRecorder creations;
        TraceRecorder traces;
        EXPECT_EQ(RunWithFaceFrom(m_app, ::GetModuleHandleW(L"kernel32.dll")), -1);
        EXPECT_TRUE(traces.Saw("Tabvisor: the panel's face")) << traces.Describe();
        EXPECT_EQ(g_hHook, nullptr);
        EXPECT_EQ(creations.dialogs.size(), 1u);  // the panel only: no page was made
        EXPECT_FALSE(::IsWindow(creations.dialogs.front()));
    }
    // A face that does not decode.
    HMODULE bad = ::LoadLibraryExW(L"bad_face.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(bad, nullptr);
    {
        CreationRecorder creations;
        EXPECT_EQ(RunWithFaceFrom(m_app, bad), -1);
        EXPECT_EQ(g_hHook, nullptr);
        EXPECT_EQ(creations.dialogs.size(), 1u);
    }
    ::FreeLibrary(bad);
    EXPECT_EQ(m_tablet.Number("task_calls"), 0);  // nothing was registered for a panel that never came up
}

} // namespace

namespace {

// On Windows owned pages stay above their owner, and the panel leaves that to the system; only
// under Wine does a focus change into the panel ask for its pages to be lifted again. Both paths
// run here, the Windows one by switching Wine's repairs off before the panel is made.
TEST_F(PanelTest, FocusIntoThePanelAsksForThePagesToBeLiftedOnlyWithWinesRepairs)
{
    for (const bool underWine : {false, true}) {
        g_panelHidden = 0;
        CTabvisorDlg panel;
        panel.m_wineWorkarounds = WineWorkarounds::For(underWine);
        bool asked = false;
        ModalScript script;
        script.ThenWhen(ProgramWaiting, 10000, [&] { ShowThroughTheHook(panel); })
            .ThenWhen([&] { return AllVisible(panel); }, 10000, [&] {
                MSG msg;
                while (::PeekMessageW(&msg, panel.m_hWnd, kRaisePagesRequest, kRaisePagesRequest, PM_REMOVE)) {
                }
                panel.SetFocus();
                asked = ::PeekMessageW(&msg, panel.m_hWnd, kRaisePagesRequest, kRaisePagesRequest, PM_REMOVE) != FALSE;
                panel.EndDialog(IDCANCEL);
            });
        Run(panel, script);
        EXPECT_EQ(asked, underWine) << (underWine ? "with" : "without") << " Wine's repairs";
    }
}

} // namespace
