// Both slider pages on screen: the page picture around and under the slider, over two erases;
// without the picture, the dialog's own background; the hardware read as the page is shown and
// polled only while it is, Esc stopping the poll; Up and Down from the keyboard kept away; and
// thousands of polls, moves and repaints keeping no GDI objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BrightnessPage.h"
#include "Canvas.h"
#include "GdiObjectCounter.h"
#include "ProgramTestSupport.h"
#include "SliderPageSupport.h"
#include "SliderPositions.h"
#include "VolumePage.h"

namespace {

constexpr CRect kPageOnScreen(CPoint(40, 40), CSize(195, 133));

struct PageKind {
    const char* name;
    UINT templateId;
    UINT bitmapId;
};
const PageKind kBrightness{"brightness", IDD_BRIGHTNESS_PAGE, IDB_BRIGHTNESS_BK};
const PageKind kVolume{"volume", IDD_VOLUME_PAGE, IDB_VOLUME_BK};

// Creates the page of `kind` as the panel does and places it on screen.
class SliderPagesTest : public SliderPageTest, public ::testing::WithParamInterface<PageKind> {
protected:
    CDialog& Open(bool activate = false)
    {
        Create();
        Show(activate);
        return *m_page;
    }
    // Created hidden, as the panel creates it.
    void Create()
    {
        if (GetParam().templateId == IDD_BRIGHTNESS_PAGE) {
            auto page = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE);
            m_slider = &page->m_slider;
            m_page = std::move(page);
        } else {
            auto page = MakePage<CVolumePage>(IDD_VOLUME_PAGE);
            m_slider = &page->m_slider;
            m_page = std::move(page);
        }
    }
    void Show(bool activate)
    {
        // Creation made the hidden page active. Left so, its slider would draw its dotted focus
        // rectangle over the picture, and hiding it at the end would cost Wine two seconds.
        if (!activate)
            ::SetActiveWindow(nullptr);
        m_page->MoveWindow(&kPageOnScreen);
        m_page->ShowWindow(activate ? SW_SHOW : SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_page->m_hWnd);
        PumpWithDialogKeys(50);
    }

    std::unique_ptr<CDialog> m_page;
    CSkinSlider* m_slider = nullptr;
};

// Pixels of the page that differ from its picture, leaving out the groove and the thumb.
int PixelsOffThePicture(CDialog& page, CSkinSlider& slider, UINT bitmapId)
{
    afx::unique_hbitmap picture(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId)));
    int w = 0;
    int h = 0;
    const std::vector<COLORREF> expected = BitmapPixels(picture.get(), &w, &h);
    CRect onScreen;
    page.GetWindowRect(&onScreen);
    const ScreenCapture shot(onScreen);

    CRect sliderRect;
    slider.GetWindowRect(&sliderRect);
    page.ScreenToClient(&sliderRect);
    CRect channel;
    slider.GetChannelRect(&channel);
    channel.OffsetRect(sliderRect.left, sliderRect.top);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    const CRect picturedThumb(CPoint(sliderRect.left + thumb.left, sliderRect.top + thumb.top), CSize(11, 22));

    int wrong = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            if (channel.PtInRect(CPoint(x, y)) || picturedThumb.PtInRect(CPoint(x, y)))
                continue;
            if (shot.At(x, y) != expected[static_cast<size_t>(y) * w + x] && wrong++ < 3)
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << shot.At(x, y);
        }
    }
    return wrong;
}

TEST_P(SliderPagesTest, ThePagePictureLiesUnderAndAroundTheSliderOverTwoErases)
{
    CDialog& page = Open();
    EXPECT_EQ(PixelsOffThePicture(page, *m_slider, GetParam().bitmapId), 0);
    ::RedrawWindow(page.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(PixelsOffThePicture(page, *m_slider, GetParam().bitmapId), 0);

    // Groove and thumb are there too.
    CRect sliderOnScreen;
    m_slider->GetWindowRect(&sliderOnScreen);
    CRect thumb;
    m_slider->GetThumbRect(&thumb);
    const ScreenCapture shot(sliderOnScreen);
    afx::unique_hbitmap normal(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_THUMB_NORMAL)));
    int w = 0;
    int h = 0;
    const std::vector<COLORREF> thumbPicture = BitmapPixels(normal.get(), &w, &h);
    EXPECT_EQ(shot.At(thumb.left + 5, thumb.top + 11), thumbPicture[11 * 11 + 5]);
    CRect channel;
    m_slider->GetChannelRect(&channel);
    const COLORREF edge = shot.At(channel.left, channel.top + 1);
    EXPECT_TRUE(GetRValue(edge) == GetGValue(edge) && GetGValue(edge) == GetBValue(edge) && GetRValue(edge) < 200);
}

// The page picture, not found while the page starts.
template <class Page>
class CWithoutPicture : public Page {
public:
    using Page::Page;

protected:
    BOOL OnInitDialog() override
    {
        AFX_MODULE_STATE* state = AfxGetModuleState();
        const HINSTANCE saved[2] = {state->m_hCurrentInstanceHandle, state->m_hCurrentResourceHandle};
        state->m_hCurrentInstanceHandle = state->m_hCurrentResourceHandle = ::GetModuleHandleW(L"kernel32.dll");
        const BOOL result = Page::OnInitDialog();
        state->m_hCurrentInstanceHandle = saved[0];
        state->m_hCurrentResourceHandle = saved[1];
        return result;
    }
};

TEST_P(SliderPagesTest, WithoutItsPictureThePageShowsTheDialogBackground)
{
    if (GetParam().templateId == IDD_BRIGHTNESS_PAGE) {
        auto page = MakePage<CWithoutPicture<CBrightnessPage>>(IDD_BRIGHTNESS_PAGE);
        EXPECT_EQ(page->m_hBkBitmap.get(), nullptr);
        m_slider = &page->m_slider;
        m_page = std::move(page);
    } else {
        auto page = MakePage<CWithoutPicture<CVolumePage>>(IDD_VOLUME_PAGE);
        EXPECT_EQ(page->m_hBkBitmap.get(), nullptr);
        m_slider = &page->m_slider;
        m_page = std::move(page);
    }
    Show(false);
    const ScreenCapture shot(kPageOnScreen);
    EXPECT_EQ(shot.At(3, 3), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(shot.At(190, 128), ::GetSysColor(COLOR_BTNFACE));
}

// A hidden page calls nothing; shown, it has read its hardware before it is visible, then polls;
// hidden alone by Esc (the dialog's cancel), it calls nothing again.
TEST_P(SliderPagesTest, ReadsAsItIsShownPollsOnlyWhileShownAndEscStopsThePoll)
{
    const bool brightness = GetParam().templateId == IDD_BRIGHTNESS_PAGE;
    const char* reads = brightness ? "brightness_queries" : "volume_reads";
    const auto setElsewhere = [&](int step) {
        if (brightness)
            m_tablet.SetBrightness(static_cast<unsigned int>(step));
        else
            m_tablet.SetVolume(static_cast<float>(step) / 10.0f);
    };
    const auto shown = [&](int step) { return brightness ? step : step * 10; };
    Create();
    const long long created = m_tablet.Number(reads);
    setElsewhere(2);
    PumpWithDialogKeys(400);
    EXPECT_EQ(m_tablet.Number(reads), created);
    EXPECT_NE(m_slider->GetPos(), shown(2));

    // Looked at before this thread takes any message: no tick can have come.
    setElsewhere(6);
    ::SetActiveWindow(nullptr);
    m_page->MoveWindow(&kPageOnScreen);
    m_page->ShowWindow(SW_SHOWNOACTIVATE);
    EXPECT_EQ(m_slider->GetPos(), shown(6));
    EXPECT_EQ(m_tablet.Number(reads), created + 1);
    setElsewhere(5);
    EXPECT_TRUE(PumpUntil([&] { return m_slider->GetPos() == shown(5); }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return m_tablet.Number(reads) >= created + 4; }, 5000));

    ::PostMessageW(m_slider->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(PumpUntil([&] { return !m_page->IsWindowVisible(); }, 3000));
    PumpWithDialogKeys(50);
    const long long hidden = m_tablet.Number(reads);
    setElsewhere(3);
    PumpWithDialogKeys(400);
    EXPECT_EQ(m_tablet.Number(reads), hidden);
    EXPECT_EQ(m_slider->GetPos(), shown(5));
    EXPECT_EQ(m_tablet.Number(brightness ? "brightness_sets" : "volume_writes"), 0);
}

TEST_P(SliderPagesTest, UpAndDownFromTheKeyboardChangeNothingWhileLeftAndRightMoveTheSlider)
{
    Open(true);
    ::SetForegroundWindow(m_page->m_hWnd);
    m_slider->SetFocus();
    ASSERT_EQ(::GetFocus(), m_slider->m_hWnd);
    const int start = m_slider->GetPos();
    const bool brightness = GetParam().templateId == IDD_BRIGHTNESS_PAGE;
    const char* sets = brightness ? "brightness_sets" : "volume_writes";
    const std::string before = m_tablet.Field(brightness ? "brightness" : "volume");

    SendKey(VK_UP, 0x48);
    SendKey(VK_DOWN, 0x50);
    PumpWithDialogKeys(300);
    EXPECT_EQ(m_slider->GetPos(), start);
    EXPECT_EQ(m_tablet.Number(sets), 0);
    EXPECT_EQ(m_tablet.Field(brightness ? "brightness" : "volume"), before);

    // The same path carries Right to the slider, which sets the next position at once.
    SendKey(VK_RIGHT, 0x4D);
    EXPECT_TRUE(PumpUntil([&] { return m_tablet.Number(sets) >= 1; }, 3000));
    PumpWithDialogKeys(100);  // the key's release too, so nothing reaches the next test
    char expected[32] = {};
    if (brightness)
        std::snprintf(expected, sizeof(expected), "%d", start + 1);
    else
        std::snprintf(expected, sizeof(expected), "%.6f", static_cast<double>(VolumePositionToScalar(start + 1)));
    EXPECT_EQ(m_tablet.Field(brightness ? "brightness" : "volume"), expected);
}

TEST_P(SliderPagesTest, OnlyWParamDecidesWhatIsKeptFromThePage)
{
    CDialog& page = Open();
    CWnd& asWindow = page;
    for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_KEYUP), UINT(WM_MOUSEMOVE), UINT(WM_TIMER), UINT(WM_CHAR)}) {
        for (WPARAM arrow : {WPARAM(VK_UP), WPARAM(VK_DOWN)}) {
            MSG msg{m_slider->m_hWnd, message, arrow, 0, 0, {}};
            EXPECT_TRUE(asWindow.PreTranslateMessage(&msg)) << std::hex << message << " " << arrow;
        }
    }
    MSG timer{page.m_hWnd, WM_TIMER, 0, 0, 0, {}};
    EXPECT_FALSE(asWindow.PreTranslateMessage(&timer));
}

TEST_P(SliderPagesTest, ThousandsOfPollsMovesAndRepaintsKeepNoGdiObjects)
{
    gdi_count::Install();
    const size_t beforePage = gdi_count::Live();
    CDialog& page = Open();
    const long long queriesBefore = m_tablet.Number("brightness_queries") + m_tablet.Number("volume_reads");
    ::RedrawWindow(page.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const size_t live = gdi_count::Live();
    // Each round: two polls, two moves (four notifications, each a write) and a repaint of the page
    // and its slider.
    constexpr int kRounds = 1000;
    for (int i = 0; i < kRounds; ++i) {
        if (i % 25 == 0) {
            m_tablet.SetBrightness(static_cast<unsigned int>(i / 25 % 8));
            m_tablet.SetVolume(static_cast<float>(i % 100) / 100.0f);
        }
        Tick(page);
        PressKeyOn(*m_slider, VK_RIGHT);
        Tick(page);
        PressKeyOn(*m_slider, VK_LEFT);
        ::RedrawWindow(page.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    PumpWithDialogKeys(20);
    EXPECT_EQ(gdi_count::Live(), live);
    EXPECT_GE(m_tablet.Number("brightness_queries") + m_tablet.Number("volume_reads"), queriesBefore + 2 * kRounds);
    EXPECT_GE(m_tablet.Number("brightness_sets") + m_tablet.Number("volume_writes"), 2 * kRounds);
    EXPECT_EQ(PixelsOffThePicture(page, *m_slider, GetParam().bitmapId), 0);

    // The page gives back its picture and the slider its background copy.
    m_slider = nullptr;
    m_page.reset();
    EXPECT_EQ(gdi_count::Live(), beforePage);
}

INSTANTIATE_TEST_SUITE_P(Pages, SliderPagesTest, ::testing::Values(kBrightness, kVolume),
                         [](const ::testing::TestParamInfo<PageKind>& kind) { return std::string(kind.param.name); });

} // namespace
