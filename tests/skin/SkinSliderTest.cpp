// The skinned slider over a parent whose every pixel can be told apart: custom-draw answers, the
// black-pixel mask over the parent's background, the groove, the thumb pictures, the background
// copy kept from the first paint, and what the drawing leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "FadedBitmap.h"
#include "GdiObjectCounter.h"
#include "ProgramTestSupport.h"
#include "SkinSlider.h"
#include "resource.h"

namespace {

constexpr int kSliderId = 1012;
constexpr CRect kSliderRect(20, 90, 172, 120);  // where the volume page has it, 152 x 30
constexpr CRect kChannel(8, 10, 144, 14);      // the channel a horizontal trackbar reports
constexpr COLORREF kDrawn = RGB(250, 10, 10);   // what "the control drew so far" is filled with

// The parent's picture: no pixel black, none grey, each one different within 200 x 200.
COLORREF ParentColour(int x, int y, int generation) { return RGB(30 + x % 200, 30 + y % 200, 120 + 60 * generation); }

class CPatternParent : public CWnd {
public:
    int m_generation = 0;

protected:
    BOOL OnEraseBkgnd(CDC* dc)
    {
        CRect client;
        GetClientRect(&client);
        Canvas picture(client.Width(), client.Height(), RGB(0, 0, 0));
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x)
                picture.Set(x, y, ParentColour(x, y, m_generation));
        ::BitBlt(dc->GetSafeHdc(), 0, 0, client.Width(), client.Height(), picture.dc(), 0, 0, SRCCOPY);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPatternParent, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

// Records the custom-draw notifications the trackbar itself sends, then draws as usual.
class CProbeSlider : public CSkinSlider {
public:
    CProbeSlider(UINT normalThumbId, UINT pressedThumbId) : CSkinSlider(normalThumbId, pressedThumbId) {}

    std::vector<std::pair<DWORD, DWORD_PTR>> m_seen;  // stage, item
    std::vector<UINT> m_thumbStates;

protected:
    void OnProbeCustomDraw(NMHDR* header, LRESULT* result)
    {
        const auto* nm = reinterpret_cast<const NMCUSTOMDRAW*>(header);
        m_seen.emplace_back(nm->dwDrawStage, nm->dwItemSpec);
        if (nm->dwDrawStage == CDDS_ITEMPREPAINT && nm->dwItemSpec == TBCD_THUMB)
            m_thumbStates.push_back(nm->uItemState);
        OnCustomDrawReflect(header, result);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeSlider, CSkinSlider)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnProbeCustomDraw)
END_MESSAGE_MAP()

const wchar_t* ParentClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkinSliderTestParent";
        ::RegisterClassW(&wc);
        return L"SkinSliderTestParent";
    }();
    return name;
}

class SkinSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnsureCommonControls();
        gdi_count::Install();
        m_parent.CreateEx(0, ParentClass(), L"", WS_POPUP | WS_VISIBLE, 60, 60, 220, 200, nullptr, nullptr);
        ::UpdateWindow(m_parent.m_hWnd);
    }
    void TearDown() override
    {
        m_slider.reset();
        m_parent.DestroyWindow();
    }

    // A trackbar bound to a skinned slider with the program's thumb pictures (or those given);
    // hidden ones never paint by themselves.
    CProbeSlider& MakeSlider(DWORD style, const CRect& rect, bool visible = false, UINT normalThumbId = IDB_THUMB_NORMAL,
                             UINT pressedThumbId = IDB_THUMB_PRESSED)
    {
        HWND hwnd = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"Slider1",
                                      WS_CHILD | TBS_BOTH | TBS_NOTICKS | style | (visible ? WS_VISIBLE : 0),
                                      rect.left, rect.top, rect.Width(), rect.Height(), m_parent.m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSliderId)),
                                      ::GetModuleHandleW(nullptr), nullptr);
        m_slider = std::make_unique<CProbeSlider>(normalThumbId, pressedThumbId);
        m_slider->SubclassWindow(hwnd);
        return *m_slider;
    }

    // A custom-draw notification as the trackbar sends it, through the parent.
    LRESULT Notify(DWORD stage, DWORD_PTR item, HDC dc, const RECT& rc = RECT{}, UINT state = 0)
    {
        NMCUSTOMDRAW nm{};
        nm.hdr.hwndFrom = m_slider->m_hWnd;
        nm.hdr.idFrom = kSliderId;
        nm.hdr.code = NM_CUSTOMDRAW;
        nm.dwDrawStage = stage;
        nm.hdc = dc;
        nm.rc = rc;
        nm.dwItemSpec = item;
        nm.uItemState = state;
        return m_parent.SendMessage(WM_NOTIFY, kSliderId, reinterpret_cast<LPARAM>(&nm));
    }

    void RepaintParent(int generation)
    {
        m_parent.m_generation = generation;
        ::RedrawWindow(m_parent.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    CPatternParent m_parent;
    std::unique_ptr<CProbeSlider> m_slider;
};

// How many pixels of `bitmap` (or of bitmap resource `id`), unscaled with its corner at `corner`,
// `canvas` does not show; the picture's size goes to `size`.
int PixelsOffThePicture(const Canvas& canvas, CPoint corner, HBITMAP bitmap, CSize* size = nullptr)
{
    int w = 0;
    int h = 0;
    const std::vector<COLORREF> picture = BitmapPixels(bitmap, &w, &h);
    if (size != nullptr)
        *size = CSize(w, h);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += canvas.At(corner.x + x, corner.y + y) != picture[static_cast<size_t>(y) * w + x];
    return w > 0 ? wrong : -1;
}

int PixelsOffThePicture(const Canvas& canvas, CPoint corner, UINT id, CSize* size = nullptr)
{
    afx::unique_hbitmap bitmap(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    return PixelsOffThePicture(canvas, corner, bitmap.get(), size);
}

// The pixels of the ring `outer` minus `outer` shrunk by `width`.
template <class Check>
void ForRing(const CRect& outer, int width, Check&& check)
{
    CRect inner = outer;
    inner.InflateRect(-width, -width);
    for (int y = outer.top; y < outer.bottom; ++y)
        for (int x = outer.left; x < outer.right; ++x)
            if (!inner.PtInRect(CPoint(x, y)))
                check(x, y);
}

TEST_F(SkinSliderTest, AnswersEachDrawStage)
{
    MakeSlider(0, kSliderRect);
    Canvas canvas(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    EXPECT_EQ(Notify(CDDS_PREPAINT, 0, canvas.dc()), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(Notify(CDDS_ITEMPREPAINT, TBCD_TICS, canvas.dc()), CDRF_DODEFAULT);
    EXPECT_EQ(Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc()), CDRF_SKIPDEFAULT);
    EXPECT_EQ(Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, canvas.dc(), kChannel), CDRF_SKIPDEFAULT);
    EXPECT_EQ(Notify(CDDS_ITEMPREPAINT, 9, canvas.dc()), 0);
    EXPECT_EQ(Notify(CDDS_POSTPAINT, 0, canvas.dc()), 0);
    EXPECT_EQ(Notify(CDDS_ITEMPOSTPAINT, TBCD_THUMB, canvas.dc()), 0);
    Canvas erased(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    EXPECT_EQ(m_slider->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.dc())), 0);
    EXPECT_EQ(erased.At(0, 0), kDrawn);  // erasing paints nothing
}

TEST_F(SkinSliderTest, TheChannelKeepsBlackPixelsShowsTheParentElsewhereAndDrawsTheGrooveOnTheChannel)
{
    MakeSlider(0, kSliderRect);
    Canvas canvas(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    // Pure black survives; anything else, however dark, gives way to the parent's picture.
    const std::vector<std::pair<POINT, COLORREF>> marks = {
        {{3, 3}, RGB(0, 0, 0)},  {{4, 3}, RGB(1, 1, 1)},   {{5, 3}, RGB(0, 0, 1)},
        {{6, 3}, RGB(0, 1, 0)},  {{7, 3}, RGB(1, 0, 0)},   {{150, 29}, RGB(0, 0, 0)},
        {{0, 0}, RGB(0, 0, 0)},  {{70, 12}, RGB(0, 0, 0)}, {{71, 12}, RGB(255, 255, 255)},
    };
    for (const auto& [at, colour] : marks)
        canvas.Set(at.x, at.y, colour);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, canvas.dc(), kChannel);

    CRect inner = kChannel;
    inner.InflateRect(-2, -2);
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const bool onGroove = kChannel.PtInRect(CPoint(x, y)) && !inner.PtInRect(CPoint(x, y));
            if (onGroove)
                continue;
            bool black = false;
            for (const auto& [at, colour] : marks)
                black |= at.x == x && at.y == y && colour == RGB(0, 0, 0);
            const COLORREF expected = black ? RGB(0, 0, 0) : ParentColour(kSliderRect.left + x, kSliderRect.top + y, 0);
            if (canvas.At(x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << canvas.At(x, y) << " not " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
    // The groove is a grey sunken edge exactly on the channel rectangle.
    ForRing(kChannel, 2, [&](int x, int y) {
        const COLORREF c = canvas.At(x, y);
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << x << "," << y;
    });
    EXPECT_NE(canvas.At(kChannel.left, kChannel.top), canvas.At(kChannel.right - 1, kChannel.bottom - 1));
}

TEST_F(SkinSliderTest, AVerticalGrooveIsOnePixelWiderOnEachSide)
{
    const CRect rect(20, 10, 50, 162);
    MakeSlider(TBS_VERT, rect);
    Canvas canvas(rect.Width(), rect.Height(), kDrawn);
    const CRect channel(10, 8, 14, 144);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, canvas.dc(), channel);

    const CRect groove(9, 8, 15, 144);
    ForRing(groove, 2, [&](int x, int y) {
        EXPECT_NE(canvas.At(x, y), ParentColour(rect.left + x, rect.top + y, 0)) << x << "," << y;
    });
    for (int y = groove.top + 2; y < groove.bottom - 2; ++y) {
        for (int x : {groove.left - 1, groove.right, groove.left + 2, groove.right - 3})
            EXPECT_EQ(canvas.At(x, y), ParentColour(rect.left + x, rect.top + y, 0)) << x << "," << y;
    }
    // A channel as wide as it is high is not widened.
    Canvas square(rect.Width(), rect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, square.dc(), CRect(5, 5, 15, 15));
    EXPECT_EQ(square.At(4, 10), ParentColour(rect.left + 4, rect.top + 10, 0));
    EXPECT_NE(square.At(5, 10), ParentColour(rect.left + 5, rect.top + 10, 0));
}

TEST_F(SkinSliderTest, TheBackgroundIsCopiedOnceAndKeptThroughParentChangesAndMoves)
{
    CProbeSlider& slider = MakeSlider(0, kSliderRect);
    Canvas first(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, first.dc(), kChannel);
    const HDC copy = slider.m_hBackDC.get();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(first.At(100, 25), ParentColour(kSliderRect.left + 100, kSliderRect.top + 25, 0));

    RepaintParent(1);
    slider.SetWindowPos(nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Canvas later(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, later.dc(), kChannel);
    EXPECT_EQ(slider.m_hBackDC.get(), copy);
    EXPECT_EQ(later.At(100, 25), ParentColour(kSliderRect.left + 100, kSliderRect.top + 25, 0));
    EXPECT_EQ(later.At(0, 0), ParentColour(kSliderRect.left, kSliderRect.top, 0));

    // A new slider copies what lies under it now.
    CProbeSlider& fresh = MakeSlider(0, kSliderRect);
    Canvas renewed(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, renewed.dc(), kChannel);
    EXPECT_NE(fresh.m_hBackDC.get(), nullptr);
    EXPECT_EQ(renewed.At(100, 25), ParentColour(kSliderRect.left + 100, kSliderRect.top + 25, 1));
}

// The trackbar's thumb is 21 pixels high: the 22-pixel picture overhangs it, unscaled.
TEST_F(SkinSliderTest, TheThumbShowsThePressedPictureWhileHeldUnscaledAtTheThumbsCorner)
{
    CProbeSlider& slider = MakeSlider(0, kSliderRect);
    slider.SetRange(1, 99);
    slider.SetPos(50);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    ASSERT_FALSE(thumb.IsRectEmpty());

    for (const auto& [state, id] : {std::pair<UINT, UINT>{CDIS_SELECTED, IDB_THUMB_PRESSED},
                                    {CDIS_SELECTED | CDIS_FOCUS, IDB_THUMB_PRESSED},
                                    {CDIS_DEFAULT, IDB_THUMB_NORMAL},
                                    {CDIS_FOCUS | CDIS_HOT, IDB_THUMB_NORMAL}}) {
        SCOPED_TRACE(state);
        Canvas canvas(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
        Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb, state);
        CSize size;
        EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), id, &size), 0);
        ASSERT_EQ(size, CSize(11, 22));
        const int w = size.cx;
        const int h = size.cy;
        for (int y = thumb.top; y < thumb.top + h; ++y) {
            EXPECT_EQ(canvas.At(thumb.left - 1, y), kDrawn);
            EXPECT_EQ(canvas.At(thumb.left + w, y), kDrawn);
        }
        EXPECT_EQ(canvas.At(thumb.left, thumb.top + h), kDrawn);
    }
}

TEST_F(SkinSliderTest, UntilItsPositionIsKnownTheThumbAtRestAndTheGrooveShowFadedIntoWhatLiesBehind)
{
    CProbeSlider& slider = MakeSlider(0, kSliderRect);
    slider.SetRange(1, 99);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    EXPECT_TRUE(slider.ShowsKnown());
    slider.ShowKnown(false);
    EXPECT_FALSE(slider.ShowsKnown());

    // The channel's paint takes the parent's picture; the thumb fades toward its middle.
    Canvas canvas(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_CHANNEL, canvas.dc(), kChannel);
    Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb);
    const COLORREF behind =
        ParentColour(kSliderRect.left + kSliderRect.Width() / 2, kSliderRect.top + kSliderRect.Height() / 2, 0);
    const afx::unique_hbitmap faded = LoadFadedBitmap(IDB_THUMB_NORMAL, CLR_INVALID, behind, CSkinSlider::kUnknownFade);
    ASSERT_TRUE(faded);
    const COLORREF groove = FadeColour(::GetSysColor(COLOR_BTNSHADOW), behind, CSkinSlider::kUnknownFade);
    ForRing(kChannel, 1, [&](int x, int y) {
        if (!CRect(thumb.TopLeft(), CSize(11, 22)).PtInRect(CPoint(x, y))) {
            EXPECT_EQ(canvas.At(x, y), groove) << x << "," << y;
        }
    });
    EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), faded.get()), 0);
    EXPECT_GT(PixelsOffThePicture(canvas, thumb.TopLeft(), IDB_THUMB_NORMAL), 11 * 22 / 2);

    // Held, it shows pressed as ever; known again, it is the normal thumb.
    Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb, CDIS_SELECTED);
    EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), IDB_THUMB_PRESSED), 0);
    slider.ShowKnown(true);
    Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb);
    EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), IDB_THUMB_NORMAL), 0);
    slider.ShowKnown(false);
    Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb);
    EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), faded.get()), 0);
}

TEST_F(SkinSliderTest, ThePicturesComeWithTheControlAndWithoutThemTheThumbIsStillDrawn)
{
    // Loaded when the control was made: where resources come from afterwards does not matter.
    CProbeSlider& slider = MakeSlider(0, kSliderRect);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    AFX_MODULE_STATE* state = AfxGetModuleState();
    const auto saved = std::make_pair(state->m_hCurrentInstanceHandle, state->m_hCurrentResourceHandle);
    state->m_hCurrentInstanceHandle = state->m_hCurrentResourceHandle = ::GetModuleHandleW(L"kernel32.dll");
    Canvas canvas(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, canvas.dc(), thumb);
    state->m_hCurrentInstanceHandle = saved.first;
    state->m_hCurrentResourceHandle = saved.second;
    EXPECT_EQ(PixelsOffThePicture(canvas, thumb.TopLeft(), IDB_THUMB_NORMAL), 0);

    constexpr UINT kNoSuchBitmap = 0x7FFF;
    CProbeSlider& bare = MakeSlider(0, kSliderRect, false, kNoSuchBitmap, kNoSuchBitmap);
    bare.GetThumbRect(&thumb);
    Canvas block(kSliderRect.Width(), kSliderRect.Height(), kDrawn);
    const LRESULT result = Notify(CDDS_ITEMPREPAINT, TBCD_THUMB, block.dc(), thumb);
    EXPECT_EQ(result, CDRF_SKIPDEFAULT);
    EXPECT_NE(block.At((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kDrawn);
    EXPECT_EQ(block.At(thumb.right + 1, thumb.top), kDrawn);
}

TEST_F(SkinSliderTest, OnScreenTheControlIsTheParentsPictureWithGrooveAndThumb)
{
    CProbeSlider& slider = MakeSlider(0, kSliderRect, true);
    slider.SetRange(1, 99);
    slider.SetPos(30);
    ::RedrawWindow(m_parent.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    // The trackbar asks for the channel before the thumb, which the channel paint relies on.
    ASSERT_FALSE(slider.m_seen.empty());
    EXPECT_EQ(slider.m_seen.front().first, static_cast<DWORD>(CDDS_PREPAINT));
    size_t channel = slider.m_seen.size();
    size_t thumbAt = slider.m_seen.size();
    for (size_t i = 0; i < slider.m_seen.size(); ++i) {
        if (slider.m_seen[i] == std::make_pair(DWORD(CDDS_ITEMPREPAINT), DWORD_PTR(TBCD_CHANNEL)))
            channel = std::min(channel, i);
        if (slider.m_seen[i] == std::make_pair(DWORD(CDDS_ITEMPREPAINT), DWORD_PTR(TBCD_THUMB)))
            thumbAt = std::min(thumbAt, i);
    }
    ASSERT_LT(channel, slider.m_seen.size());
    ASSERT_LT(thumbAt, slider.m_seen.size());
    EXPECT_LT(channel, thumbAt);

    CRect onScreen;
    slider.GetWindowRect(&onScreen);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    CRect channelRect;
    slider.GetChannelRect(&channelRect);
    const ScreenCapture shot(onScreen);
    int wrong = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            const CPoint p(x, y);
            if (CRect(thumb.TopLeft(), CSize(11, 22)).PtInRect(p) || channelRect.PtInRect(p))
                continue;
            wrong += shot.At(x, y) != ParentColour(kSliderRect.left + x, kSliderRect.top + y, 0);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(SkinSliderTest, PaintingAgainAndAgainKeepsNoObjectsAndTheSliderFreesItsPicturesAndCopy)
{
    const size_t start = gdi_count::Live();
    CProbeSlider& slider = MakeSlider(0, kSliderRect, true);
    slider.SetRange(1, 99);
    ::RedrawWindow(slider.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const size_t withCopy = gdi_count::Live();
    // The three thumb pictures (at rest, held, faded), and the background copy's DC and bitmap.
    EXPECT_EQ(withCopy, start + 5);
    for (int i = 0; i < 2000; ++i) {
        slider.SetPos(1 + i % 99);
        slider.ShowKnown(i % 200 < 100);
        ::RedrawWindow(slider.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(gdi_count::Live(), withCopy);

    const HDC copyDc = slider.m_hBackDC.get();
    const HBITMAP copyBitmap = slider.m_hBackBmp.get();
    m_slider.reset();
    EXPECT_EQ(gdi_count::Live(), start);
    EXPECT_EQ(::GetObjectType(copyDc), 0u);
    EXPECT_EQ(::GetObjectType(copyBitmap), 0u);
}

} // namespace

namespace {

TEST_F(SkinSliderTest, FollowingAPositionShowsItWithinTheRangeAndRepaintsOnlyWhenTheThumbMoves)
{
    CProbeSlider& slider = MakeSlider(0, kSliderRect, true);
    slider.SetRange(1, 99, TRUE);
    slider.SetPos(50);
    ::UpdateWindow(slider.m_hWnd);
    const auto pendingRepaint = [&] { return ::GetUpdateRect(slider.m_hWnd, nullptr, FALSE) != FALSE; };

    slider.FollowPos(50);  // where it is already
    EXPECT_FALSE(pendingRepaint());
    slider.FollowPos(0);  // silence, below the range: shown at its low end
    EXPECT_EQ(slider.GetPos(), 1);
    EXPECT_TRUE(pendingRepaint());
    ::UpdateWindow(slider.m_hWnd);
    // The same reading on the next poll moves nothing, so nothing is repainted.
    slider.FollowPos(0);
    slider.FollowPos(1);
    EXPECT_FALSE(pendingRepaint());
    slider.FollowPos(100);
    EXPECT_EQ(slider.GetPos(), 99);
}

} // namespace
