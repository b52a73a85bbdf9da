// The volume page against the simulated tablet: start, the slider's ends, positions that hold
// through the poll without a write back, the poll held by the arrow-key flags, every notification
// writing, a missing, failing or nonsense-reporting VolumeVista that never moves the slider, and
// a lagging one that does not undo the user.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "SliderPageSupport.h"
#include "SliderPositions.h"
#include "VolumePage.h"

namespace {

class CProbeVolumePage : public CVolumePage {
public:
    using CVolumePage::CVolumePage;
    int m_notifications = 0;

protected:
    void OnHScroll(UINT code, UINT pos, CWnd* sender)
    {
        ++m_notifications;
        CVolumePage::OnHScroll(code, pos, sender);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeVolumePage, CVolumePage)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

class VolumePageTest : public SliderPageTest {
protected:
    void SetUp() override
    {
        SliderPageTest::SetUp();
        g_volumeScalar = 0.0f;
    }
    long long Reads() { return m_tablet.Number("volume_reads"); }
    long long Writes() { return m_tablet.Number("volume_writes"); }
    float Volume()
    {
        float volume = -1.0f;
        m_tablet.Use([&](auto& state) { volume = state.volume; });
        return volume;
    }
};

TEST_F(VolumePageTest, StartsAtHalfAndShowsTheEndsAndTruncatedScalarsWithoutWriting)
{
    m_tablet.SetVolume(0.5f);
    auto page = MakePage<CVolumePage>(IDD_VOLUME_PAGE);
    ASSERT_NE(page->m_slider.m_hWnd, nullptr);
    EXPECT_EQ(page->m_slider.GetPos(), 50);
    EXPECT_EQ(page->m_slider.GetRangeMin(), 1);
    EXPECT_EQ(page->m_slider.GetRangeMax(), 99);
    EXPECT_EQ(g_volumeScalar, 0.5f);
    EXPECT_NE(page->m_hBkBitmap.get(), nullptr);

    for (const auto& [volume, shown] : {std::pair<float, int>{1.0f, 99}, {0.0f, 1}, {0.015f, 1}, {0.6f, 60},
                                        {0.999f, 99}, {0.2f, 20}}) {
        m_tablet.SetVolume(volume);
        Tick(*page);
        EXPECT_EQ(page->m_slider.GetPos(), shown) << volume;
        EXPECT_EQ(g_volumeScalar, volume);
    }
    EXPECT_EQ(Writes(), 0);
}

TEST_F(VolumePageTest, KeyboardStepsHoldThroughThePollInBothDirectionsWithoutWritingAgain)
{
    m_tablet.SetVolume(0.285f);
    auto page = MakePage<CProbeVolumePage>(IDD_VOLUME_PAGE);
    ASSERT_EQ(page->m_slider.GetPos(), 28);
    PressKeyOn(page->m_slider, VK_RIGHT);
    ASSERT_EQ(page->m_slider.GetPos(), 29);
    EXPECT_EQ(Volume(), 0.29f);
    EXPECT_EQ(g_volumeScalar, 0.29f);
    EXPECT_GE(page->m_notifications, 1);
    EXPECT_EQ(Writes(), page->m_notifications);

    const long long writes = Writes();
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 29);
    Tick(*page);
    EXPECT_EQ(Writes(), writes);
    EXPECT_EQ(Volume(), 0.29f);

    // Six steps up from the middle and back, each followed by the poll: each one holds. (The
    // change made elsewhere shows once the user's last move is a while ago.)
    m_tablet.SetVolume(0.5f);
    PumpWithDialogKeys(static_cast<DWORD>(CSliderPage::kUserMoveHoldMs) + 150);
    Tick(*page);
    ASSERT_EQ(page->m_slider.GetPos(), 50);
    for (const auto& [key, step] : {std::pair{VK_RIGHT, 1}, std::pair{VK_LEFT, -1}}) {
        for (int i = 0; i < 6; ++i) {
            const int before = page->m_slider.GetPos();
            PressKeyOn(page->m_slider, key);
            Tick(*page);
            EXPECT_EQ(page->m_slider.GetPos(), before + step) << "step " << i;
        }
    }
    EXPECT_EQ(page->m_slider.GetPos(), 50);
    EXPECT_EQ(Volume(), 0.5f);
}

TEST_F(VolumePageTest, EveryNotificationWritesAlsoWhenThePositionIsUnchanged)
{
    m_tablet.SetVolume(0.5f);
    auto page = MakePage<CProbeVolumePage>(IDD_VOLUME_PAGE);
    DragThumb(page->m_slider, {-10, -10, -10});
    ASSERT_GE(page->m_notifications, 3);
    EXPECT_LT(page->m_slider.GetPos(), 50);
    EXPECT_EQ(Writes(), page->m_notifications);
    EXPECT_EQ(Volume(), page->m_slider.GetPos() * 0.01f);

    const long long writes = Writes();
    SendScroll(*page, page->m_slider.m_hWnd);
    SendScroll(*page, page->m_slider.m_hWnd, TB_THUMBTRACK);
    EXPECT_EQ(Writes(), writes + 2);
    SendScroll(*page, nullptr);
    SendScroll(*page, page->m_hWnd);
    EXPECT_EQ(Writes(), writes + 2);
}

TEST_F(VolumePageTest, AHeldPollReadsButLeavesTheSliderWhereItIs)
{
    m_tablet.SetVolume(0.2f);
    bool held = false;
    auto page = MakePage<CVolumePage>(IDD_VOLUME_PAGE, Common(), [&] { return held; });
    ASSERT_EQ(page->m_slider.GetPos(), 20);

    held = true;
    m_tablet.SetVolume(0.6f);
    const long long reads = Reads();
    Tick(*page);
    Tick(*page);
    EXPECT_EQ(Reads(), reads + 2);
    EXPECT_EQ(g_volumeScalar, 0.6f);
    EXPECT_EQ(page->m_slider.GetPos(), 20);

    held = false;
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 60);
    EXPECT_EQ(Writes(), 0);
}

TEST_F(VolumePageTest, WithoutVolumeVistaTheSliderStaysAndNothingIsCalled)
{
    m_tablet.SetVolume(0.8f);
    auto page = MakePage<CVolumePage>(IDD_VOLUME_PAGE, BindCommon(L"no-such-library.dll"));
    ASSERT_NE(page->m_slider.m_hWnd, nullptr);
    EXPECT_FALSE(page->m_slider.ShowsKnown());
    page->m_slider.SetPos(40);
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 40);
    PressKeyOn(page->m_slider, VK_RIGHT);
    EXPECT_EQ(page->m_slider.GetPos(), 41);
    EXPECT_EQ(g_volumeScalar, 0.41f);
    EXPECT_EQ(Reads(), 0);
    EXPECT_EQ(Writes(), 0);
    EXPECT_EQ(Volume(), 0.8f);
}

// A VolumeVista answering whatever the test says, whatever was written: one that fails, reports
// nonsense, or still reports an old volume after a write (as an asynchronous library may).
float g_reported = 0.0f;
bool g_readFails = false;
std::vector<float> g_written;
int ReportVolume(int operation, int, float* scalar)
{
    if (operation == 3 && !g_readFails)
        *scalar = g_reported;
    if (operation == 4)
        g_written.push_back(*scalar);
    return operation == 3 && g_readFails ? static_cast<int>(0x80004005) : 0;
}
// Succeeds without storing anything.
int StoreNothing(int, int, float*) { return 0; }

class ReportingVolumePageTest : public VolumePageTest {
protected:
    void SetUp() override
    {
        VolumePageTest::SetUp();
        g_readFails = false;
        g_reported = 0.33f;
        g_written.clear();
    }
    std::unique_ptr<CVolumePage> Open() { return MakePage<CVolumePage>(IDD_VOLUME_PAGE, CommonLibrary{&ReportVolume, nullptr}); }
};

TEST_F(ReportingVolumePageTest, AFailedOrAbsurdReadNeverMovesTheSliderNorTouchesTheScalar)
{
    auto page = Open();
    EXPECT_EQ(page->m_slider.GetPos(), 33);
    EXPECT_TRUE(page->m_slider.ShowsKnown());
    constexpr float inf = std::numeric_limits<float>::infinity();
    for (const float absurd : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, -1.0f, 2.0f, 1.0000001f}) {
        g_reported = absurd;
        Tick(*page);
        EXPECT_EQ(page->m_slider.GetPos(), 33) << absurd;
        EXPECT_EQ(g_volumeScalar, 0.33f);
    }
    g_readFails = true;
    g_reported = 0.9f;
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 33);
    EXPECT_EQ(g_volumeScalar, 0.33f);
    EXPECT_TRUE(page->m_slider.ShowsKnown()) << "it still shows what it read last";
    EXPECT_TRUE(g_written.empty());

    // A read that says it succeeded but stored nothing is no reading either.
    auto silent = MakePage<CVolumePage>(IDD_VOLUME_PAGE, CommonLibrary{&StoreNothing, nullptr});
    Tick(*silent);
    EXPECT_FALSE(silent->m_slider.ShowsKnown());
    EXPECT_EQ(silent->m_slider.GetPos(), 1);
}

TEST_F(ReportingVolumePageTest, UntilTheFirstGoodReadTheSliderShowsItDoesNotKnowAndAMoveStillWrites)
{
    g_readFails = true;
    auto page = Open();
    EXPECT_FALSE(page->m_slider.ShowsKnown());
    EXPECT_EQ(page->m_slider.GetPos(), 1);
    Tick(*page);
    EXPECT_FALSE(page->m_slider.ShowsKnown());
    PressKeyOn(page->m_slider, VK_RIGHT);
    ASSERT_FALSE(g_written.empty());
    EXPECT_EQ(g_written.back(), 0.02f);
    EXPECT_FALSE(page->m_slider.ShowsKnown());

    // The library answers: once the user's move is a while ago, the slider shows what it read.
    g_readFails = false;
    g_reported = 0.7f;
    PumpWithDialogKeys(static_cast<DWORD>(CSliderPage::kUserMoveHoldMs) + 150);
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 70);
    EXPECT_TRUE(page->m_slider.ShowsKnown());
}

TEST_F(ReportingVolumePageTest, ALibraryStillReportingTheOldVolumeDoesNotUndoATapOrADragThenIsFollowedAgain)
{
    g_reported = 0.5f;
    auto page = Open();
    ASSERT_EQ(page->m_slider.GetPos(), 50);

    // A page step, as a tap on the channel makes (the step as the key goes down, the end of the
    // move as it comes up), with polls between and after: the step stays and is written last.
    page->m_slider.SendMessage(WM_KEYDOWN, VK_NEXT, 1);
    const int stepped = page->m_slider.GetPos();
    ASSERT_GT(stepped, 50);
    Tick(*page);
    page->m_slider.SendMessage(WM_KEYUP, VK_NEXT, 0xC0000001);
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), stepped);
    ASSERT_FALSE(g_written.empty());
    EXPECT_EQ(g_written.back(), VolumePositionToScalar(stepped));

    // A drag with a poll after each move: it ends where the user let go, and that is written.
    DragThumb(page->m_slider, {12, 12, 12}, [&] { Tick(*page); });
    const int dragged = page->m_slider.GetPos();
    EXPECT_GT(dragged, stepped);
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), dragged);
    EXPECT_EQ(g_written.back(), VolumePositionToScalar(dragged));

    // A while after the last move the slider follows the library again, whatever it says.
    g_reported = 0.2f;
    PumpWithDialogKeys(static_cast<DWORD>(CSliderPage::kUserMoveHoldMs) + 150);
    Tick(*page);
    EXPECT_EQ(page->m_slider.GetPos(), 20);
}

} // namespace
