// The on-screen keyboard and Task Manager pages on the running panel under Wine. Recorder programs
// stand at the two fixed paths in the private prefix and log every start, so a click can be seen
// to start its program, once, with the exact command line and show command.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BrightnessPage.h"
#include "HotkeyState.h"
#include "KeyboardPage.h"
#include "LaunchRecorders.h"
#include "ModalScript.h"
#include "PanelTestSupport.h"
#include "PointerInput.h"
#include "SwitchPage.h"
#include "TabvisorDlg.h"
#include "TaskMgrPage.h"
#include "VolumePage.h"

namespace {

// The colours of a bitmap resource, row by row, cut to `width` columns.
std::vector<COLORREF> BitmapPixels(UINT id, int width, int height)
{
    afx::unique_hbitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0,
                     0, LR_DEFAULTCOLOR | LR_CREATEDIBSECTION)));
    BITMAP info{};
    ::GetObjectW(bitmap.get(), sizeof(info), &info);
    std::vector<COLORREF> all = RenderToPixels(info.bmWidth, info.bmHeight, [&](HDC dc) {
        afx::unique_hdc source(::CreateCompatibleDC(dc));
        afx::select_object_guard select(source.get(), bitmap.get());
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    });
    std::vector<COLORREF> cut;
    for (int y = 0; y < height && y < info.bmHeight; ++y)
        for (int x = 0; x < width && x < info.bmWidth; ++x)
            cut.push_back(all[static_cast<size_t>(y) * info.bmWidth + x]);
    return cut;
}

// What the button paints for `itemState`, rendered into memory.
std::vector<COLORREF> ButtonFace(CPngButton& button, UINT itemState)
{
    CRect client;
    button.GetClientRect(&client);
    return RenderButtonFace(button, itemState, client, client.Width(), client.Height());
}

// How many pixels of the screen at `place` differ from `face`. The screen is looked at again for
// a while until they agree, since a repaint reaches the composed picture a little later.
int DifferingOnScreen(CWnd& button, const CRect& place, const std::vector<COLORREF>& face)
{
    int differing = 0;
    for (const ULONGLONG end = ::GetTickCount64() + 3000;;) {
        // This loop holds the thread, so a repaint the button still owes is done here.
        button.UpdateWindow();
        const ScreenCapture screen(place);
        differing = 0;
        for (int y = 0; y < place.Height(); ++y)
            for (int x = 0; x < place.Width(); ++x)
                differing += screen.At(x, y) != face[static_cast<size_t>(y) * place.Width() + x];
        if (differing == 0 || ::GetTickCount64() >= end)
            return differing;
    }
}

CRect ButtonInPage(CLauncherPage& page)
{
    CRect rect;
    page.m_btnLaunch.GetWindowRect(&rect);
    page.ScreenToClient(&rect);
    return rect;
}

// The device page's window spans the lower pages; it steps aside so only the launchers are there.
void UncoverLaunchers(CTabvisorDlg& panel) { panel.m_pSwitchPage->ShowWindow(SW_HIDE); }

class LauncherPageTest : public PanelTestFixture {
protected:
    void SetUp() override
    {
        PanelTestFixture::SetUp();
        ASSERT_TRUE(m_log.Installed()) << "cannot install the recorder, error " << ::GetLastError();
    }
    LaunchRecorders m_log;
};

TEST_F(LauncherPageTest, EachClickStartsItsProgramOnceAndHidesEverythingUntilTheHotkey)
{
    CTabvisorDlg panel;
    std::vector<Launch> launches;
    // Clicks the page's button and checks what is hidden, in which order.
    auto click = [&](CLauncherPage& page, CWnd& otherLauncher) {
        ASSERT_TRUE(AllVisible(panel));
        ShowOrderRecorder hides;
        page.m_btnLaunch.SendMessage(BM_CLICK);
        const std::vector<HWND> expected = {panel.m_pSwitchPage->m_hWnd, panel.m_pVolumePage->m_hWnd,
                                            panel.m_pBrightnessPage->m_hWnd, otherLauncher.m_hWnd, panel.m_hWnd,
                                            page.m_hWnd};
        EXPECT_EQ(hides.hidden, expected);
        EXPECT_TRUE(NoneVisible(panel));
        EXPECT_EQ(g_panelRequested, 0);
        EXPECT_EQ(g_panelHidden, 1);
    };
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return AllVisible(panel); }, 10000, [&] { click(*panel.m_pKeyboardPage, *panel.m_pTaskMgrPage); })
        .Then(0,
              [&] {
                  launches = m_log.WaitFor(1);
                  ASSERT_EQ(launches.size(), 1u);
                  ExpectLaunch(launches[0], kKeyboardProgram);
              })
        .Then(0, [&] { SendHotkey(); })
        // All back, the clicked page included.
        .ThenWhen([&] { return AllVisible(panel); }, 10000, [&] { click(*panel.m_pTaskMgrPage, *panel.m_pKeyboardPage); })
        .Then(0,
              [&] {
                  launches = m_log.WaitFor(2);
                  ASSERT_EQ(launches.size(), 2u);
                  ExpectLaunch(launches[1], kTaskMgrProgram);
              })
        .Then(0, [&] { SendHotkey(); })
        // Whether it runs already is not asked: every click starts it again.
        .ThenWhen([&] { return AllVisible(panel); }, 10000, [&] { click(*panel.m_pKeyboardPage, *panel.m_pTaskMgrPage); })
        .Then(0,
              [&] {
                  launches = m_log.WaitFor(3);
                  ASSERT_EQ(launches.size(), 3u);
                  ExpectLaunch(launches[2], kKeyboardProgram);
              })
        .Then(0, [&] { panel.EndDialog(IDCANCEL); });
    Run(panel, script, 60000);
}

TEST_F(LauncherPageTest, UnderTheRealPointerTheButtonLightsShiftsWhilePressedAndLaunchesOnRelease)
{
    CTabvisorDlg panel;
    CRect button;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return AllVisible(panel); }, 10000,
              [&] {
                  UncoverLaunchers(panel);
                  panel.m_pKeyboardPage->m_btnLaunch.GetWindowRect(&button);
                  MovePointer(CPoint(button.left + 60, button.top + 20));
              })
        .Then(100, [&] { MovePointer(CPoint(button.left + 61, button.top + 21)); })
        .ThenWhen([&] { return panel.m_pKeyboardPage->m_btnLaunch.m_bHovering != FALSE; }, 10000,
              [&] {
                  CPngButton& launch = panel.m_pKeyboardPage->m_btnLaunch;
                  EXPECT_TRUE(launch.m_bHovering);
                  EXPECT_EQ(DifferingOnScreen(launch, button, ButtonFace(launch, 0)), 0) << "the hover face is not on screen";
                  PressLeftButton();
              })
        .ThenWhen([&] { return (panel.m_pKeyboardPage->m_btnLaunch.GetState() & BST_PUSHED) != 0; }, 10000,
              [&] {
                  CPngButton& launch = panel.m_pKeyboardPage->m_btnLaunch;
                  EXPECT_EQ(DifferingOnScreen(launch, button, ButtonFace(launch, ODS_SELECTED)), 0)
                      << "the pressed face is not on screen";
                  EXPECT_TRUE(m_log.Read().empty());
                  ReleaseLeftButton();
              })
        .Then(300,
              [&] {
                  MovePointer(CPoint(0, 0));
                  const std::vector<Launch> launches = m_log.WaitFor(1);
                  ASSERT_EQ(launches.size(), 1u);
                  ExpectLaunch(launches[0], kKeyboardProgram);
                  EXPECT_TRUE(NoneVisible(panel));
              })
        .Then(0, [&] { panel.EndDialog(IDCANCEL); });
    Run(panel, script, 60000);
}

// The erase covers the client area with the bitmap from its top-left; on screen the bitmap lies
// around the button, the normal face in it, and the faces' background is the bitmap under it.
void ExpectSeamless(CLauncherPage& page, UINT bitmapId)
{
    CRect client;
    page.GetClientRect(&client);
    ASSERT_EQ(client.Size(), CSize(195, 133));
    const std::vector<COLORREF> bitmap = BitmapPixels(bitmapId, 195, 133);
    auto bitmapAt = [&](int x, int y) { return bitmap[static_cast<size_t>(y) * 195 + x]; };

    const std::vector<COLORREF> erased = RenderToPixels(195, 133, [&](HDC dc) {
        EXPECT_TRUE(page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)));
    });
    EXPECT_EQ(erased, bitmap);

    CRect pageOnScreen;
    page.GetWindowRect(&pageOnScreen);
    const ScreenCapture screen(pageOnScreen);
    const CRect button = ButtonInPage(page);
    int wrongPage = 0;
    for (int y = 0; y < 133; ++y)
        for (int x = 0; x < 195; ++x)
            wrongPage += !button.PtInRect(CPoint(x, y)) && screen.At(x, y) != bitmapAt(x, y);
    EXPECT_EQ(wrongPage, 0);

    CRect buttonOnScreen;
    page.m_btnLaunch.GetWindowRect(&buttonOnScreen);
    EXPECT_EQ(DifferingOnScreen(page.m_btnLaunch, buttonOnScreen, ButtonFace(page.m_btnLaunch, 0)), 0);

    const std::vector<COLORREF> pressed = ButtonFace(page.m_btnLaunch, ODS_SELECTED);
    int wrongEdge = 0;
    for (int x = 0; x < button.Width(); ++x)
        wrongEdge += pressed[static_cast<size_t>(x)] != bitmapAt(button.left + x, button.top);
    for (int y = 0; y < button.Height(); ++y)
        wrongEdge += pressed[static_cast<size_t>(y) * button.Width()] != bitmapAt(button.left, button.top + y);
    EXPECT_EQ(wrongEdge, 0);
}

TEST_F(LauncherPageTest, PagesShowTheirBitmapFromItsTopLeftWithTheButtonSeamlesslyOnIt)
{
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { SendHotkey(); })
        .ThenWhen([&] { return AllVisible(panel); }, 10000, [&] { UncoverLaunchers(panel); })
        .Then(300,
              [&] {
                  ExpectSeamless(*panel.m_pKeyboardPage, IDB_KEYBOARD_BK);
                  ExpectSeamless(*panel.m_pTaskMgrPage, IDB_TASKMGR_BK);
              })
        .Then(0, [&] { panel.EndDialog(IDCANCEL); });
    Run(panel, script);
}

// A launcher page whose background bitmap and picture are missing.
std::wstring BrokenPageProgram() { return kKeyboardProgram; }
constexpr LauncherResources kBrokenResources{IDD_KEYBOARD_PAGE, IDC_KEYBOARD_LAUNCH, 9990, 9991, &BrokenPageProgram};

class CBrokenPage : public CLauncherPage {
public:
    CBrokenPage() : CLauncherPage(kBrokenResources, nullptr) {}

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBrokenPage, CLauncherPage)
    ON_BN_CLICKED(IDC_KEYBOARD_LAUNCH, OnLaunch)
END_MESSAGE_MAP()

TEST_F(LauncherPageTest, WithoutItsBitmapAndPictureAPageShowsThePlainDialogAndStillLaunches)
{
    CBrokenPage page;
    ASSERT_TRUE(page.Create(IDD_KEYBOARD_PAGE));
    page.MoveWindow(100, 100, 195, 133);
    page.ShowWindow(SW_SHOW);
    PumpFor(300);
    EXPECT_FALSE(page.m_hBkBitmap);

    // The dialog's own colour everywhere, the button's faces included.
    const COLORREF plain = ::GetSysColor(COLOR_BTNFACE);
    auto allPlain = [&](const std::vector<COLORREF>& pixels) {
        return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c == plain; });
    };
    EXPECT_TRUE(allPlain(RenderToPixels(195, 133, [&](HDC dc) {
        page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    })));
    EXPECT_TRUE(page.m_btnLaunch.m_bHaveSurfaces);
    EXPECT_TRUE(allPlain(ButtonFace(page.m_btnLaunch, 0)));
    EXPECT_TRUE(allPlain(ButtonFace(page.m_btnLaunch, ODS_SELECTED)));

    page.m_btnLaunch.SendMessage(BM_CLICK);
    EXPECT_FALSE(page.IsWindowVisible());
    EXPECT_EQ(g_panelHidden, 1);
    const std::vector<Launch> launches = m_log.WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    ExpectLaunch(launches[0], kKeyboardProgram);
}

} // namespace
