// The panel at the display's scale (ctest runs this again on displays of 120, 144 and 192 dpi):
// the panel, its pages and every control at their 96-dpi places times the scale, the close
// button on the drawn mark, the pictures at the scale's size; WM_DPICHANGED rescaling everything
// where the system suggests and within the work area, also while hidden; and every window's
// answer to the tablet's gesture query.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "LibsTestSupport.h"
#include "PanelTestSupport.h"
#include "ScaledLayout.h"

namespace {

using afx::ScaleToDpi;

CWnd* DialogOf(CTabvisorDlg& panel, int page)
{
    return page < 0 ? static_cast<CWnd*>(&panel) : PagesOf(panel)[static_cast<size_t>(page)];
}

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return CSize(info.bmWidth, info.bmHeight);
}

// Everything the panel shows where its 96-dpi layout puts it, times dpi / 96, and drawn for it.
void ExpectLaidOutAt(CTabvisorDlg& panel, UINT dpi)
{
    SCOPED_TRACE(testing::Message() << "at " << dpi << " dpi");
    EXPECT_EQ(panel.Scale(), dpi);
    CRect rect;
    panel.GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), ScaleToDpi(kPanelAt96, dpi));
    const std::vector<CWnd*> pages = PagesOf(panel);
    for (size_t i = 0; i < pages.size(); ++i) {
        CRect page;
        pages[i]->GetWindowRect(&page);
        EXPECT_EQ(page, PageAt(static_cast<int>(i), rect, dpi)) << "page " << i;
    }
    for (const ControlPlace& control : kControlsAt96) {
        const HWND hwnd = ::GetDlgItem(DialogOf(panel, control.page)->m_hWnd, control.id);
        ASSERT_NE(hwnd, nullptr) << control.name;
        EXPECT_EQ(RectInParent(hwnd), ScaleToDpi(control.at96, dpi)) << control.name;
    }
    // The pictures are those of the scale: page backgrounds, device pictures.
    EXPECT_EQ(BitmapSize(panel.m_pVolumePage->m_hBkBitmap.get()), ScaleToDpi(CSize(196, 133), dpi));
    EXPECT_EQ(BitmapSize(panel.m_pKeyboardPage->m_hBkBitmap.get()), ScaleToDpi(CSize(196, 133), dpi));
    EXPECT_EQ(panel.m_pSwitchPage->m_btnCamera.m_image[0].cx, static_cast<uint32_t>(ScaleToDpi(47, dpi)));
    EXPECT_EQ(panel.m_pSwitchPage->m_btn3G.m_image[0].cy, static_cast<uint32_t>(ScaleToDpi(48, dpi)));
}

// The system's notice of a new DPI, suggesting the panel's top-left corner at `at`.
void NoticeDpi(CTabvisorDlg& panel, UINT dpi, CPoint at)
{
    CRect suggested(at, ScaleToDpi(kPanelAt96, dpi));
    panel.SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

CRect WindowRect(CWnd* wnd)
{
    CRect rect;
    wnd->GetWindowRect(&rect);
    return rect;
}

class PanelScaleTest : public PanelTestFixture {};

TEST_F(PanelScaleTest, PanelPagesAndControlsAreTheirLayoutAt96TimesTheDisplaysScale)
{
    const UINT dpi = DisplayDpi();
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] {
        ExpectLaidOutAt(panel, dpi);
        for (const ControlPlace& control : kControlsAt96) {
            const CRect at = RectInParent(::GetDlgItem(DialogOf(panel, control.page)->m_hWnd, control.id));
            std::printf("%-26s at %3u dpi: x %4ld, y %4ld, %4d x %4d\n", control.name, dpi, at.left, at.top,
                        at.Width(), at.Height());
        }
        CRect thumb;
        panel.m_pVolumePage->m_slider.GetThumbRect(&thumb);
        std::printf("volume thumb at %u dpi: (%ld,%ld)-(%ld,%ld)\n", dpi, thumb.left, thumb.top, thumb.right,
                    thumb.bottom);
        panel.EndDialog(IDCANCEL);
    });
    Run(panel, script);
}

// On screen, inside the close button, away from its rounded corners, there is only the mark (red
// and its white cross), and the red goes no further than a pixel beyond it.
TEST_F(PanelScaleTest, TheCloseButtonLiesOnTheDrawnMark)
{
    const UINT dpi = DisplayDpi();
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] { ShowThroughTheHook(panel); })
        .Then(300, [&] {
            CRect close;
            panel.GetDlgItem(IDC_PANEL_CLOSE)->GetWindowRect(&close);
            const int corner = ScaleToDpi(3, dpi) + 1;
            CRect around = close;
            around.InflateRect(3, 3);
            const ScreenCapture screen(around);
            ASSERT_TRUE(screen.FromXServer()) << screen.Problem();
            const auto at = [&](int x, int y) { return screen.At(x - around.left, y - around.top); };
            int notMark = 0;
            for (int y = close.top + corner; y < close.bottom - corner; ++y)
                for (int x = close.left + corner; x < close.right - corner; ++x) {
                    const COLORREF c = at(x, y);
                    // Red, white, or the two blended along the cross's edges.
                    notMark += !(GetRValue(c) >= 190 && std::abs(GetGValue(c) - GetBValue(c)) <= 40);
                }
            EXPECT_EQ(notMark, 0);
            // The mark reaches the button's edges (halfway along them) and goes no further.
            EXPECT_TRUE(IsMarkRed(at(close.left + 1, close.CenterY())));
            EXPECT_TRUE(IsMarkRed(at(close.right - 2, close.CenterY())));
            EXPECT_TRUE(IsMarkRed(at(close.left + corner, close.top + 1)));
            EXPECT_TRUE(IsMarkRed(at(close.left + corner, close.bottom - 2)));
            for (int x = around.left; x < around.right; ++x) {
                EXPECT_FALSE(IsMarkRed(at(x, around.top))) << x;
                EXPECT_FALSE(IsMarkRed(at(x, around.bottom - 1))) << x;
            }
            for (int y = around.top; y < around.bottom; ++y) {
                EXPECT_FALSE(IsMarkRed(at(around.left, y))) << y;
                EXPECT_FALSE(IsMarkRed(at(around.right - 1, y))) << y;
            }
            panel.EndDialog(IDCANCEL);
        });
    Run(panel, script);
}

// The system's notice of a new DPI, with the rectangle it suggests: everything takes the new
// scale at once, at the suggested place, and back within the work area if that place hangs out of
// it. Sent while hidden, the pages show at the new scale from their first frame.
TEST_F(PanelScaleTest, ADpiChangeRescalesEverythingWhereTheSystemSuggestsWithinTheWorkArea)
{
    const UINT dpi = DisplayDpi();
    const UINT other = dpi == 144 ? 120 : 144;
    CTabvisorDlg panel;
    CRect before;
    const CRect area = WorkArea();
    const auto notice = [&](UINT to, CPoint at) { NoticeDpi(panel, to, at); };
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
                  [&] {
                      panel.GetWindowRect(&before);
                      // Hidden: nothing shows yet, and the show that follows shows the new scale.
                      notice(other, CPoint(area.left + 10, area.top + 20));
                      ExpectLaidOutAt(panel, other);
                      CRect rect;
                      panel.GetWindowRect(&rect);
                      EXPECT_EQ(rect.TopLeft(), CPoint(area.left + 10, area.top + 20));
                      EXPECT_TRUE(NoneVisible(panel));
                      ShowThroughTheHook(panel);
                      EXPECT_TRUE(AllVisible(panel));
                      ExpectLaidOutAt(panel, other);
                  })
        .Then(100,
              [&] {
                  // Shown, at a place the work area does not hold whole: moved in by the least.
                  notice(dpi, CPoint(area.right - 50, area.bottom - 60));
                  ExpectLaidOutAt(panel, dpi);
                  CRect rect;
                  panel.GetWindowRect(&rect);
                  const CSize size = ScaleToDpi(kPanelAt96, dpi);
                  if (size.cx <= area.Width() && size.cy <= area.Height())
                      EXPECT_EQ(rect.TopLeft(), CPoint(area.right - size.cx, area.bottom - size.cy));
                  else
                      EXPECT_EQ(rect.right, area.right);
                  EXPECT_TRUE(AllVisible(panel));
                  // Back where it began: the same rectangles as at the start.
                  notice(dpi, before.TopLeft());
                  CRect now;
                  panel.GetWindowRect(&now);
                  EXPECT_EQ(now, before);
                  panel.EndDialog(IDCANCEL);
              });
    Run(panel, script);
}

// The system asks the window under the finger; every one of the program's answers with
// press-and-hold and flicks off: the panel, its click areas, each page and each of its controls,
// the switches' tooltips.
TEST_F(PanelScaleTest, EveryWindowTurnsOffPressAndHoldAndFlicks)
{
    CTabvisorDlg panel;
    ModalScript script;
    script.ThenWhen(ProgramWaiting, 10000, [&] {
        std::vector<HWND> windows{panel.m_hWnd};
        for (CWnd* page : PagesOf(panel))
            windows.push_back(page->m_hWnd);
        for (HWND top : std::vector<HWND>(windows))
            for (HWND child = ::GetWindow(top, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
                windows.push_back(child);
        for (CSkinButton* button : {&panel.m_pSwitchPage->m_btnCamera, &panel.m_pSwitchPage->m_btnWireless})
            if (button->m_tip.m_hWnd != nullptr)
                windows.push_back(button->m_tip.m_hWnd);
        EXPECT_GE(windows.size(), 6u + 7u + 4u + 2u + 2u + 1u + 1u);
        for (HWND hwnd : windows) {
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            const LRESULT answer = ::SendMessageW(hwnd, WM_TABLET_QUERYSYSTEMGESTURESTATUS, 0, 0);
            EXPECT_EQ(answer, TABLET_DISABLE_PRESSANDHOLD | TABLET_DISABLE_FLICKS | TABLET_DISABLE_FLICKFALLBACKKEYS)
                << "window of class " << testing::PrintToString(std::wstring(name)) << ", id "
                << ::GetDlgCtrlID(hwnd);
        }
        panel.EndDialog(IDCANCEL);
    });
    Run(panel, script);
}

// Each page on screen, brought down to its size at 96 dpi, looks as the same page laid out and
// drawn at 96 dpi (the system's notice of 96 dpi, in this process whose display is larger): the
// larger artwork shows the same pictures at the same places, only finer.
TEST_F(PanelScaleTest, EachPageBroughtDownToIts96DpiSizeLooksAsAt96)
{
    const UINT dpi = DisplayDpi();
    if (dpi == 96)
        GTEST_SKIP() << "at 96 dpi there is nothing to bring down";
    CTabvisorDlg panel;
    CPoint corner;
    std::vector<ScreenCapture> at96;
    // No hover lights a launcher: the pointer is away from the panel, in the screen's corner.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
                  [&] {
                      corner = WindowRect(&panel).TopLeft();
                      NoticeDpi(panel, 96, corner);
                      ShowThroughTheHook(panel);
                  })
        .Then(700,
              [&] {
                  for (CWnd* page : PagesOf(panel))
                      at96.emplace_back(WindowRect(page));
                  ASSERT_TRUE(at96[0].FromXServer()) << at96[0].Problem();
                  NoticeDpi(panel, dpi, corner);
              })
        .Then(700, [&] {
            const std::vector<CWnd*> pages = PagesOf(panel);
            for (size_t i = 0; i < pages.size(); ++i) {
                const ScreenCapture scaled(WindowRect(pages[i]));
                const std::vector<COLORREF> down = BroughtDownTo96(scaled, dpi, at96[i].Width(), at96[i].Height());
                // Text and thin lines drawn at each size fall on their pixels a little differently;
                // a picture missing, of another size or out of its place changes whole blocks.
                const int block = 6, width = at96[i].Width(), height = at96[i].Height();
                int differingBlocks = 0, worst = 0;
                for (int by = 0; by + block <= height; by += block)
                    for (int bx = 0; bx + block <= width; bx += block) {
                        int sum[2][3] = {};
                        for (int y = by; y < by + block; ++y)
                            for (int x = bx; x < bx + block; ++x) {
                                const COLORREF a = down[static_cast<size_t>(y) * width + x], b = at96[i].At(x, y);
                                sum[0][0] += GetRValue(a), sum[0][1] += GetGValue(a), sum[0][2] += GetBValue(a);
                                sum[1][0] += GetRValue(b), sum[1][1] += GetGValue(b), sum[1][2] += GetBValue(b);
                            }
                        int d = 0;
                        for (int c = 0; c < 3; ++c)
                            d = std::max(d, std::abs(sum[0][c] - sum[1][c]) / (block * block));
                        worst = std::max(worst, d);
                        differingBlocks += d > 48;
                    }
                std::printf("page %zu at %u dpi: %d blocks differ, the most by %d\n", i, dpi, differingBlocks, worst);
                EXPECT_LE(differingBlocks, 8) << "page " << i;
            }
            panel.EndDialog(IDCANCEL);
        });
    Run(panel, script);
}

// The work area of the monitor holding the screen's top-left corner, as the monitor reports it.
CRect PrimaryMonitorWorkArea()
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromPoint(CPoint(0, 0), MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

// A real mode change of this run's own X display, to a smaller screen whose desktop leaves a strip
// at the bottom, with the panel shown where the new screen no longer holds it: the system's notice
// of it brings the panel back within the new work area, still at the display's scale.
TEST_F(PanelScaleTest, AfterARealModeChangeThePanelLiesWithinTheNewWorkArea)
{
    const UINT dpi = DisplayDpi();
    if (dpi == 96)
        GTEST_SKIP() << "changes the display's mode: runs on the scaled displays, each of its own";
    using tabvisor::testing::RunUnixShell;
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    const int newWidth = width * 3 / 4, newHeight = height * 3 / 4, strip = ScaleToDpi(40, dpi);
    const auto setMode = [&](int w, int h, int workHeight) {
        const std::string mode = std::to_string(w) + "x" + std::to_string(h) + "_tabvisor";
        const std::string size = std::to_string(w) + " " + std::to_string(w) + " " + std::to_string(w) + " " +
                                 std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(h) + " " +
                                 std::to_string(h) + " " + std::to_string(h);
        // The desktop's work area first: Wine reads it again as it takes up the new mode.
        return RunUnixShell("xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA 0,0," + std::to_string(w) + "," +
                            std::to_string(workHeight) + "; xrandr --newmode " + mode + " 100 " + size +
                            " 2>/dev/null; xrandr --addmode screen " + mode + "; xrandr --output screen --mode " + mode);
    };
    CTabvisorDlg panel;
    CRect area;
    ModalScript script;
    script
        .ThenWhen(ProgramWaiting, 10000,
                  [&] {
                      ShowThroughTheHook(panel);
                      const CSize size = ScaleToDpi(kPanelAt96, dpi);
                      panel.SetWindowPos(nullptr, width - size.cx - 10, height - size.cy - 10, 0, 0,
                                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                      ASSERT_TRUE(setMode(newWidth, newHeight, newHeight - strip));
                  })
        .ThenWhen([&] { return ::GetSystemMetrics(SM_CXSCREEN) == newWidth && PrimaryMonitorWorkArea().Height() == newHeight - strip; },
                  10000,
                  [&] {
                      area = PrimaryMonitorWorkArea();
                      EXPECT_EQ(area, CRect(0, 0, newWidth, newHeight - strip))
                          << "Wine has the screen at " << ::GetSystemMetrics(SM_CXSCREEN) << " x "
                          << ::GetSystemMetrics(SM_CYSCREEN) << ", the work area " << area.left << "," << area.top
                          << " - " << area.right << "," << area.bottom;
                      panel.SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(newWidth, newHeight));
                      const CRect rect = WindowRect(&panel);
                      EXPECT_TRUE(rect.left >= area.left && rect.top >= area.top && rect.right <= area.right &&
                                  rect.bottom <= area.bottom)
                          << "the panel is at " << rect.left << "," << rect.top << " - " << rect.right << ","
                          << rect.bottom;
                      ExpectLaidOutAt(panel, dpi);
                      EXPECT_TRUE(AllVisible(panel));
                  })
        .Then(100, [&] {
            EXPECT_TRUE(setMode(width, height, height));
            panel.EndDialog(IDCANCEL);
        });
    Run(panel, script, 30000);
}

} // namespace
