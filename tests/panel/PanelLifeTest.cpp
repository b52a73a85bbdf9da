// The panel through a tablet's day, with its real hook and real keys: the hook answers on a thread
// of its own while the GUI thread is busy, and the panel and pages come at its request once the
// GUI thread is free; a work area that shrinks under the panel brings it back in; and a hook that
// the system removed behind the program's back is installed afresh, on the hook's thread, after a
// resume, a session unlock or keys that pass it by, so the next press of the key still shows
// everything.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "DebugTrace.h"
#include "HookRecovery.h"
#include "PanelTestSupport.h"

namespace {

bool ShownWithBrightnessFocused(CTabvisorDlg& panel)
{
    return AllVisible(panel) && g_panelHidden == 0 &&
           ::GetFocus() == ::GetDlgItem(panel.m_pBrightnessPage->m_hWnd, IDC_BRIGHTNESS_SLIDER);
}

class PanelLifeTest : public PanelTestFixture {
protected:
    // Takes the hook away as the system would, silently: the program still holds the old handle.
    // `recover` then gives the program its reason to install a new one.
    void ExpectHotkeyBackAfter(const std::function<void(CTabvisorDlg&)>& recover, bool checkKeyLost);
};

TEST_F(PanelLifeTest, TheHookAnswersWhileTheGuiThreadIsBusyAndThePanelComesOnceItIsFree)
{
    CTabvisorDlg panel;
    bool shownWhileBusy = true;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  // This thread takes no message until the key has gone through every hook (the
                  // sender's SendInput returns only then): the hook ran elsewhere.
                  const unsigned calls = g_hookCalls;
                  afx::unique_handle sender = SendKeyFromAnotherThread(0xFF, 0x2C);
                  ASSERT_EQ(::WaitForSingleObject(sender.get(), 10000), WAIT_OBJECT_0);
                  EXPECT_GE(g_hookCalls - calls, 2u);  // down and up
                  EXPECT_EQ(g_panelRequested, 1);
                  shownWhileBusy = panel.IsWindowVisible() || AnyPageVisible(panel);
              })
        .ThenWhen([&] { return AllVisible(panel); }, 10000,
              [&] {
                  EXPECT_FALSE(shownWhileBusy) << "only the GUI thread shows anything";
                  EXPECT_TRUE(ShownWithBrightnessFocused(panel));
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

// The work area as a taskbar that grows or moves leaves it, put back afterwards. Under Wine the
// setting holds for this process only, which is where the panel runs.
class WorkAreaChange {
public:
    WorkAreaChange() { ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_original, 0); }
    ~WorkAreaChange() { Set(m_original); }
    WorkAreaChange(const WorkAreaChange&) = delete;
    WorkAreaChange& operator=(const WorkAreaChange&) = delete;

    const CRect& Original() const { return m_original; }
    // Sends WM_SETTINGCHANGE to every top-level window, and returns once they have handled it.
    // (Wine broadcasts only for a setting that goes to the profile too, as the taskbar's does.)
    void Set(CRect area) { ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE); }

private:
    CRect m_original;
};

CRect PanelRect(CTabvisorDlg& panel)
{
    CRect rect;
    panel.GetWindowRect(&rect);
    return rect;
}

TEST_F(PanelLifeTest, AWorkAreaThatNoLongerHoldsThePanelBringsItBackInAndItsPagesFollow)
{
    WorkAreaChange area;
    const CRect screen = area.Original();
    CTabvisorDlg panel;
    CRect placed;
    CRect pushedLeft;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return AllVisible(panel); }, 10000,
              [&] {
                  placed = PanelRect(panel);
                  ASSERT_GT(placed.left, screen.left);
                  // Narrower, but the panel still fits: it stays where it is.
                  area.Set(CRect((screen.left + placed.left) / 2, screen.top, screen.right, screen.bottom));
                  EXPECT_TRUE(PanelRect(panel) == placed);
                  // The taskbar grows at the bottom over the panel's lower 60 pixels: up by 60.
                  area.Set(CRect(screen.left, screen.top, screen.right, placed.bottom - 60));
                  CRect pushedUp = placed;
                  pushedUp.OffsetRect(0, -60);
                  EXPECT_TRUE(PanelRect(panel) == pushedUp);
                  ExpectPagesPlaced(panel);
                  EXPECT_TRUE(AllVisible(panel));
                  // Hidden, it moves too: the taskbar goes to the right edge, over 100 pixels of it.
                  panel.GetDlgItem(IDC_PANEL_CLOSE)->SendMessage(BM_CLICK);
                  area.Set(CRect(screen.left, screen.top, placed.right - 100, screen.bottom));
                  pushedLeft = pushedUp;
                  pushedLeft.OffsetRect(-100, 0);
                  EXPECT_TRUE(PanelRect(panel) == pushedLeft);
                  SendHotkey();
              })
        .ThenWhen([&] { return AllVisible(panel); }, 10000,
              [&] {
                  EXPECT_TRUE(PanelRect(panel) == pushedLeft);
                  ExpectPagesPlaced(panel);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

void PanelLifeTest::ExpectHotkeyBackAfter(const std::function<void(CTabvisorDlg&)>& recover, bool checkKeyLost)
{
    CTabvisorDlg panel;
    HHOOK removed = nullptr;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
              [&] {
                  removed = g_hHook;
                  ASSERT_TRUE(::UnhookWindowsHookEx(removed));
                  if (checkKeyLost)
                      SendHotkey();
              })
        .Then(checkKeyLost ? 500 : 1,
              [&] {
                  EXPECT_EQ(g_panelRequested, 0);  // the key went by unseen
                  EXPECT_TRUE(NoneVisible(panel));
                  recover(panel);
              })
        .ThenWhen([&] { return g_hHook != removed; }, 10000,
              [&] {
                  EXPECT_NE(g_hHook, removed) << "no new hook";
                  SendHotkey();
              })
        .ThenWhen([&] { return g_panelHidden == 0; }, 10000,
              [&] {
                  EXPECT_TRUE(ShownWithBrightnessFocused(panel));
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

TEST_F(PanelLifeTest, AResumeFromSleepInstallsTheHookAfresh)
{
    ExpectHotkeyBackAfter([](CTabvisorDlg& panel) { panel.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC); },
                          false);
}

TEST_F(PanelLifeTest, AnUnlockedSessionInstallsTheHookAfresh)
{
    ExpectHotkeyBackAfter([](CTabvisorDlg& panel) { panel.SendMessage(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK); },
                          false);
}

// A registration the system refuses costs only its trigger, and a developer's trace says which:
// raw input for the background needs a window to go to, and here there is none.
TEST_F(PanelLifeTest, ARefusedRegistrationForRecoveryLeavesATrace)
{
    TraceRecorder traces;
    HookThread hook;
    HookRecovery recovery;
    recovery.Start(nullptr, hook);
    recovery.Stop();
    EXPECT_TRUE(traces.Saw("Tabvisor: keyboard raw input refused")) << traces.Describe();
}

// A window of another program where the user goes on typing. Wine makes raw input only while the
// foreground has a window; with the panel hidden and nothing else on this desktop, none would come.
class TypingWindow {
public:
    TypingWindow()
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"typing", WS_POPUP | WS_VISIBLE, 0, 0, 40, 20, nullptr, nullptr,
                                   nullptr, nullptr))
    {
        ::SetForegroundWindow(m_hwnd);
    }
    ~TypingWindow() { ::DestroyWindow(m_hwnd); }
    TypingWindow(const TypingWindow&) = delete;
    TypingWindow& operator=(const TypingWindow&) = delete;

private:
    HWND m_hwnd;
};

TEST_F(PanelLifeTest, KeysThatPassTheHookByInstallItAfresh)
{
    std::unique_ptr<TypingWindow> typing;
    // The press of the tablet key was lost; the user types on, and the hook sees none of it.
    ExpectHotkeyBackAfter(
        [&](CTabvisorDlg&) {
            typing = std::make_unique<TypingWindow>();
            SendKey('A', 0x1E);
            SendKey('B', 0x30);
        },
        true);
}

} // namespace
