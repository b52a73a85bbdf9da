// The brightness page against the simulated tablet: start, following changes made elsewhere without
// setting, every notification setting, only its slider setting, a missing PM.dll, and levels no
// library should report, which never move the slider.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "BrightnessPage.h"
#include "SliderPageSupport.h"

namespace {

// Records every WM_HSCROLL and the slider's position at that moment.
class CProbeBrightnessPage : public CBrightnessPage {
public:
    using CBrightnessPage::CBrightnessPage;
    std::vector<int> m_notified;

protected:
    void OnHScroll(UINT code, UINT pos, CWnd* sender)
    {
        m_notified.push_back(m_slider.GetPos());
        CBrightnessPage::OnHScroll(code, pos, sender);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeBrightnessPage, CBrightnessPage)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

class BrightnessPageTest : public SliderPageTest {
protected:
    long long Queries() { return m_tablet.Number("brightness_queries"); }
    long long Sets() { return m_tablet.Number("brightness_sets"); }
    long long Level() { return m_tablet.Number("brightness"); }
};

TEST_F(BrightnessPageTest, StartsAtTheLevelAndFollowsChangesMadeElsewhereWithoutSettingThem)
{
    m_tablet.SetBrightness(3);
    auto page = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE);
    ASSERT_NE(page->m_slider.m_hWnd, nullptr);
    EXPECT_EQ(page->m_slider.GetPos(), 3);
    EXPECT_EQ(page->m_slider.GetRangeMin(), 0);
    EXPECT_EQ(page->m_slider.GetRangeMax(), 7);
    EXPECT_EQ(page->m_slider.GetPageSize(), 1);
    EXPECT_NE(page->m_hBkBitmap.get(), nullptr);
    EXPECT_GE(Queries(), 1);

    for (unsigned int level : {2u, 5u, 0u, 7u}) {
        m_tablet.SetBrightness(level);
        Tick(*page);
        EXPECT_EQ(page->m_slider.GetPos(), static_cast<int>(level));
    }
    EXPECT_EQ(Sets(), 0);
}

TEST_F(BrightnessPageTest, EveryNotificationSetsTheSlidersLevelAlsoWhenUnchanged)
{
    m_tablet.SetBrightness(3);
    auto page = MakePage<CProbeBrightnessPage>(IDD_BRIGHTNESS_PAGE);
    CSkinSlider& slider = page->m_slider;

    // A drag to the right: each position on the way, and the last again as the drag ends.
    DragThumb(slider, {18, 18, 18});
    ASSERT_GE(page->m_notified.size(), 3u);
    EXPECT_EQ(Sets(), static_cast<long long>(page->m_notified.size()));
    EXPECT_EQ(Level(), page->m_notified.back());
    EXPECT_GT(page->m_notified.back(), 3);
    EXPECT_GE(std::count(page->m_notified.begin(), page->m_notified.end(), page->m_notified.back()), 2);

    // Keys the slider keeps: one level each, Page Down included.
    const int dragged = slider.GetPos();
    PressKeyOn(slider, VK_LEFT);
    EXPECT_EQ(Level(), dragged - 1);
    PressKeyOn(slider, VK_NEXT);
    EXPECT_EQ(Level(), dragged);
    EXPECT_EQ(Sets(), static_cast<long long>(page->m_notified.size()));

    const long long sets = Sets();
    SendScroll(*page, slider.m_hWnd);
    SendScroll(*page, slider.m_hWnd, TB_THUMBPOSITION);
    EXPECT_EQ(Sets(), sets + 2);
    EXPECT_EQ(Level(), dragged);
}

TEST_F(BrightnessPageTest, OnlyItsOwnSliderSetsTheLevel)
{
    auto page = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE);
    SendScroll(*page, nullptr);
    SendScroll(*page, page->m_hWnd);
    EXPECT_EQ(Sets(), 0);
}

TEST_F(BrightnessPageTest, WithoutPmDllTheSliderStaysAndNothingIsCalled)
{
    m_tablet.SetBrightness(5);
    auto page = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE, BindPowerManagement(L"no-such-library.dll"));
    ASSERT_NE(page->m_slider.m_hWnd, nullptr);
    page->m_slider.SetPos(4);
    Tick(*page);
    PressKeyOn(page->m_slider, VK_RIGHT);
    SendScroll(*page, page->m_slider.m_hWnd);
    EXPECT_EQ(page->m_slider.GetPos(), 5);  // moved by the key only
    EXPECT_EQ(Queries(), 0);
    EXPECT_EQ(Sets(), 0);
    EXPECT_EQ(Level(), 5);
}

// A power library answering whatever the test says.
unsigned int g_reportedLevel = 0;
std::vector<unsigned int> g_setLevels;
unsigned int ReportLevel() { return g_reportedLevel; }
unsigned int RecordLevel(unsigned int level)
{
    g_setLevels.push_back(level);
    return 1;
}

TEST_F(BrightnessPageTest, LevelsAboveSevenNeverMoveTheSliderAndBeforeAGoodOneItDoesNotKnow)
{
    g_setLevels.clear();
    g_reportedLevel = 4;
    auto page = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE, PowerLibrary{&ReportLevel, &RecordLevel});
    EXPECT_EQ(page->m_slider.GetPos(), 4);
    EXPECT_TRUE(page->m_slider.ShowsKnown());
    for (const unsigned int level : {9u, 0x80000005u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
        g_reportedLevel = level;
        Tick(*page);
        EXPECT_EQ(page->m_slider.GetPos(), 4) << std::hex << level;
    }
    g_reportedLevel = 6;
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 6);
    EXPECT_TRUE(g_setLevels.empty());
    SendScroll(*page, page->m_slider.m_hWnd);
    EXPECT_EQ(g_setLevels, std::vector<unsigned int>{6u});

    // Nonsense from the start: the slider stays where the trackbar put it, unsure, until a level comes.
    g_reportedLevel = 12;
    auto unsure = MakePage<CBrightnessPage>(IDD_BRIGHTNESS_PAGE, PowerLibrary{&ReportLevel, &RecordLevel});
    EXPECT_EQ(unsure->m_slider.GetPos(), 0);
    EXPECT_FALSE(unsure->m_slider.ShowsKnown());
    g_reportedLevel = 7;  // a level like any other (what the system backend answers when it cannot read)
    Tick(*unsure);
    EXPECT_EQ(unsure->m_slider.GetPos(), 7);
    EXPECT_TRUE(unsure->m_slider.ShowsKnown());
}

} // namespace
