// CSkinButton under Wine: its painting rendered into memory DCs and checked pixel by pixel, the
// mask construction, image ownership and the results of AssignImages, and, on a real dialog, the
// default-button protocol, double clicks, the hot state, the tooltip relay and a tooltip that
// shows on hover; and the faded pictures of an unusable control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "FadedBitmap.h"
#include "ProgramTestSupport.h"
#include "SkinButton.h"
#include "resource.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kOutside = RGB(1, 2, 3);
constexpr int kButton = 44;

// The test picture: a gradient that never has the key colour, with key pixels where `isKey` says.
COLORREF PatternAt(int x, int y) { return RGB(10 + x * 4, 10 + y * 4, 77); }

template <class IsKey>
HBITMAP MakePicture(int w, int h, IsKey&& isKey)
{
    std::vector<DWORD> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = isKey(x, y) ? kKey : PatternAt(x, y);
            bits[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return ::CreateBitmap(w, h, 1, 32, bits.data());
}

HBITMAP MakePlainPicture(int w, int h)
{
    return MakePicture(w, h, [](int, int) { return false; });
}

// Draws `button` as the system would, with `state` (ODS_*), at `item` inside a w x h DC.
std::vector<COLORREF> Draw(CSkinButton& button, UINT state, const CRect& item, int w, int h)
{
    return RenderButtonFace(button, state, item, w, h, kOutside);
}

bool IsGone(HGDIOBJ object) { return ::GetObjectType(object) == 0; }

TEST(SkinButtonPaint, CentresALargerPictureClipsItAndShiftsItWhilePressed)
{
    // 4 wider and 3 taller than the button: placed at (-2, -1), pressed at (-1, 0).
    auto isKey = [](int x, int y) { return (x == 20) || (x >= 5 && x <= 7 && y == 5); };
    CSkinButton button;
    ASSERT_EQ(button.AssignImages(MakePicture(48, 47, isKey), kKey, nullptr, 0), CSkinButton::kImagesDone);
    button.SetFlatEdge(FALSE, FALSE);  // a sunken edge would show through the key pixels
    EXPECT_EQ(button.m_image[0].cx, 48u);
    EXPECT_EQ(button.m_image[0].cy, 47u);

    // The button lies at (10, 10) in a larger DC: nothing may land outside it.
    const CRect item(10, 10, 10 + kButton, 10 + kButton);
    const int size = 70;
    for (const bool pressed : {false, true}) {
        const std::vector<COLORREF> pixels = Draw(button, pressed ? ODS_SELECTED : 0, item, size, size);
        const CPoint origin = pressed ? CPoint(-1, 0) : CPoint(-2, -1);
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                COLORREF expected = kOutside;
                if (item.PtInRect({x, y})) {
                    const int px = x - item.left - origin.x;
                    const int py = y - item.top - origin.y;
                    expected = isKey(px, py) ? button.m_crFace : PatternAt(px, py);
                }
                if (pixels[y * size + x] != expected)
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << (pressed ? "pressed" : "normal");
        EXPECT_EQ(button.m_bDown, pressed ? TRUE : FALSE);
    }
}

TEST(SkinButtonPaint, FaceAndEdgesFollowStateAndTheFlatEdgeSwitch)
{
    CSkinButton button;
    button.AssignImages(MakePlainPicture(20, 21), kKey, nullptr, 0);
    const CRect item(0, 0, kButton, kButton);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    ASSERT_EQ(button.m_crFace, face);
    auto at = [](const std::vector<COLORREF>& p, int x, int y) { return p[y * kButton + x]; };

    // Picture centred by truncating halves: (12, 11); pressed (13, 12).
    std::vector<COLORREF> plain = Draw(button, 0, item, kButton, kButton);
    EXPECT_EQ(at(plain, 12, 11), PatternAt(0, 0));
    EXPECT_EQ(at(plain, 31, 31), PatternAt(19, 20));
    EXPECT_EQ(at(plain, 11, 11), face);
    EXPECT_EQ(at(plain, 12, 10), face);
    EXPECT_EQ(at(plain, 0, 0), face);  // not hot, not pressed: no edge
    EXPECT_EQ(at(plain, 43, 43), face);

    std::vector<COLORREF> pressed = Draw(button, ODS_SELECTED | ODS_FOCUS, item, kButton, kButton);
    EXPECT_EQ(at(pressed, 13, 12), PatternAt(0, 0));
    EXPECT_EQ(at(pressed, 0, 0), shadow);  // sunken
    EXPECT_EQ(at(pressed, 43, 43), light);
    EXPECT_EQ(at(pressed, 1, 1), face);  // and no focus rectangle
    EXPECT_EQ(button.m_bHasFocus, ODS_FOCUS);

    button.m_bHot = TRUE;
    std::vector<COLORREF> hot = Draw(button, 0, item, kButton, kButton);
    EXPECT_EQ(at(hot, 0, 0), light);  // raised
    EXPECT_EQ(at(hot, 43, 43), shadow);
    EXPECT_EQ(at(hot, 12, 11), PatternAt(0, 0));

    button.SetFlatEdge(FALSE, TRUE);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        std::vector<COLORREF> flat = Draw(button, state, item, kButton, kButton);
        EXPECT_EQ(at(flat, 0, 0), face);
        EXPECT_EQ(at(flat, 43, 43), face);
        EXPECT_EQ(at(flat, 43, 0), face);
    }
}

TEST(SkinButtonPaint, TheNormalPictureShowsOnlyWhileNeitherHotNorPressed)
{
    // Hot picture: all key but one corner pixel; normal picture: plain gradient.
    CSkinButton button;
    HBITMAP hot = MakePicture(20, 20, [](int x, int y) { return x != 0 || y != 0; });
    ASSERT_EQ(button.AssignImages(hot, kKey, MakePlainPicture(20, 20), kKey), CSkinButton::kImagesDone);
    const CRect item(0, 0, kButton, kButton);
    button.SetFlatEdge(FALSE, FALSE);
    auto centre = [&](UINT state) { return Draw(button, state, item, kButton, kButton)[22 * kButton + 22]; };
    EXPECT_EQ(centre(0), PatternAt(10, 10));                   // normal picture
    EXPECT_EQ(centre(ODS_SELECTED), button.m_crFace);          // hot picture, key there
    button.m_bHot = TRUE;
    EXPECT_EQ(centre(0), button.m_crFace);
}

TEST(SkinButtonImages, MaskIsWhiteWhereTheKeyWasAndThoseBitmapPixelsTurnBlack)
{
    HBITMAP picture = MakePicture(8, 4, [](int x, int y) { return x == y; });
    afx::unique_hbitmap owned(picture);
    afx::unique_hbitmap mask = MakeMaskBitmap(picture, 8, 4, kKey);
    ASSERT_TRUE(mask);
    BITMAP info{};
    ASSERT_TRUE(::GetObjectW(mask.get(), sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 1);

    afx::unique_hdc dc(::CreateCompatibleDC(nullptr));
    {
        afx::select_object_guard select(dc.get(), mask.get());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(::GetPixel(dc.get(), x, y), x == y ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x << "," << y;
    }
    {
        afx::select_object_guard select(dc.get(), picture);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(::GetPixel(dc.get(), x, y), x == y ? RGB(0, 0, 0) : PatternAt(x, y)) << x << "," << y;
    }
    // A bitmap another DC holds cannot be read: no mask rather than a blank one.
    afx::select_object_guard held(dc.get(), picture);
    EXPECT_FALSE(MakeMaskBitmap(picture, 8, 4, kKey));
}

TEST(SkinButtonImages, AssignImagesOwnsWhatItIsGivenAndFreesItOnEveryPath)
{
    CSkinButton button;
    HBITMAP first = MakePlainPicture(10, 10);
    HBITMAP second = MakePlainPicture(12, 12);
    ASSERT_EQ(button.AssignImages(first, kKey, second, kKey), CSkinButton::kImagesDone);
    HBITMAP firstMask = button.m_image[0].hMask.get();
    HBITMAP secondMask = button.m_image[1].hMask.get();
    EXPECT_EQ(button.m_image[1].cx, 12u);

    // Replaced: the previous bitmaps and masks are freed.
    HBITMAP third = MakePlainPicture(10, 10);
    ASSERT_EQ(button.AssignImages(third, kKey, nullptr, 0), CSkinButton::kImagesDone);
    for (HGDIOBJ gone : {static_cast<HGDIOBJ>(first), static_cast<HGDIOBJ>(second), static_cast<HGDIOBJ>(firstMask),
                         static_cast<HGDIOBJ>(secondMask)})
        EXPECT_TRUE(IsGone(gone));
    EXPECT_FALSE(button.m_image[1].hBitmap);

    // A handle that is not a bitmap: result 1, and nothing is kept, not even what came before.
    HBITMAP fourth = MakePlainPicture(10, 10);
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_EQ(button.AssignImages(fourth, kKey, reinterpret_cast<HBITMAP>(brush), kKey), CSkinButton::kNotABitmap);
    EXPECT_TRUE(IsGone(third));
    EXPECT_TRUE(IsGone(fourth));
    EXPECT_TRUE(IsGone(brush));
    EXPECT_FALSE(button.m_image[0].hBitmap);
    EXPECT_EQ(button.m_image[0].cx, 0u);

    // A mask that cannot be made: result 2; the held bitmap goes once its DC lets go of it.
    HBITMAP held = MakePlainPicture(10, 10);
    HBITMAP spare = MakePlainPicture(10, 10);
    {
        afx::unique_hdc dc(::CreateCompatibleDC(nullptr));
        afx::select_object_guard select(dc.get(), held);
        EXPECT_EQ(button.AssignImages(held, kKey, spare, kKey), CSkinButton::kMaskFailed);
        EXPECT_TRUE(IsGone(spare));
    }
    EXPECT_TRUE(IsGone(held));
    EXPECT_FALSE(button.m_image[0].hBitmap);

    // A normal picture without a hot one is not kept, and not leaked either.
    HBITMAP lonely = MakePlainPicture(10, 10);
    EXPECT_EQ(button.AssignImages(nullptr, kKey, lonely, kKey), CSkinButton::kImagesDone);
    EXPECT_TRUE(IsGone(lonely));
    EXPECT_FALSE(button.m_image[1].hBitmap);

    // The same handle twice is taken once.
    HBITMAP both = MakePlainPicture(10, 10);
    EXPECT_EQ(button.AssignImages(both, kKey, both, kKey), CSkinButton::kImagesDone);
    EXPECT_EQ(button.m_image[0].hBitmap.get(), both);
    EXPECT_FALSE(button.m_image[1].hBitmap);

    // Destruction frees the rest.
    HBITMAP last = MakePlainPicture(10, 10);
    HBITMAP lastMask = nullptr;
    {
        CSkinButton other;
        other.AssignImages(last, kKey, nullptr, 0);
        lastMask = other.m_image[0].hMask.get();
    }
    EXPECT_TRUE(IsGone(last));
    EXPECT_TRUE(IsGone(lastMask));
}

TEST(SkinButtonImages, LoadImagesTakesBitmapResourcesAndAMissingOneLeavesTheFace)
{
    CSkinButton button;
    EXPECT_EQ(button.LoadImages(IDB_CAMERA_ON, kKey, IDB_CAMERA_OFF, kKey), CSkinButton::kImagesDone);
    EXPECT_EQ(button.m_image[0].cx, 47u);
    EXPECT_EQ(button.m_image[0].cy, 47u);
    EXPECT_TRUE(button.m_image[1].hBitmap);
    HBITMAP previous = button.m_image[0].hBitmap.get();

    EXPECT_EQ(button.LoadImages(9999, kKey, 0, 0), CSkinButton::kImagesDone);
    EXPECT_TRUE(IsGone(previous));
    EXPECT_FALSE(button.m_image[0].hBitmap);
    const std::vector<COLORREF> face = Draw(button, 0, CRect(0, 0, kButton, kButton), kButton, kButton);
    EXPECT_EQ(std::count(face.begin(), face.end(), button.m_crFace), static_cast<long>(face.size()));
}

// ---- on a real dialog -------------------------------------------------------------------------

constexpr int kDefaultId = 100;
constexpr int kPlainId = 101;

// A dialog template in memory: a default push button and a plain one, 22 x 22 units each.
std::vector<WORD> ButtonDialogTemplate()
{
    std::vector<WORD> words;
    auto put = [&](const void* data, size_t bytes) {
        const size_t at = words.size();
        words.resize(at + (bytes + 1) / 2);
        std::memcpy(words.data() + at, data, bytes);
    };
    auto align = [&] {
        if (words.size() % 2)
            words.push_back(0);
    };
    DLGTEMPLATE dialog{WS_POPUP, 0, 2, 0, 0, 80, 40};
    put(&dialog, sizeof dialog);
    words.insert(words.end(), {0, 0, 0});  // no menu, default class, no title
    const DWORD styles[2] = {BS_DEFPUSHBUTTON, BS_PUSHBUTTON};
    const WORD ids[2] = {kDefaultId, kPlainId};
    for (int i = 0; i < 2; ++i) {
        align();
        DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | WS_TABSTOP | styles[i], 0, static_cast<short>(4 + 30 * i), 4,
                             22, 22, ids[i]};
        put(&item, sizeof item);
        words.insert(words.end(), {0xFFFF, 0x0080, 0, 0});  // button class, no text, no data
    }
    return words;
}

class CButtonHost : public CDialog {
public:
    CSkinButton m_default;
    CSkinButton m_plain;
    int m_plainClicks = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, kDefaultId, m_default);
        DDX_Control(dx, kPlainId, m_plain);
    }
    void OnPlainClicked() { ++m_plainClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonHost, CDialog)
    ON_BN_CLICKED(kPlainId, OnPlainClicked)
END_MESSAGE_MAP()

UINT ButtonType(const CWnd& button) { return button.GetStyle() & BS_TYPEMASK; }

class SkinButtonWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_template = ButtonDialogTemplate();
        ASSERT_TRUE(m_host.CreateIndirect(reinterpret_cast<const DLGTEMPLATE*>(m_template.data()), nullptr));
        m_host.SetWindowPos(&CWnd::wndTopMost, 300, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        PumpFor(100);
    }

    CPoint ScreenCentre(CWnd& button)
    {
        CRect rect;
        button.GetWindowRect(&rect);
        return CPoint(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
    }

    std::vector<WORD> m_template;
    CButtonHost m_host;
};

TEST_F(SkinButtonWindow, DefaultButtonProtocolKeepsTheButtonsOwnerDrawn)
{
    EXPECT_TRUE(m_host.m_default.m_bDefaultButton);
    EXPECT_FALSE(m_host.m_plain.m_bDefaultButton);
    EXPECT_EQ(ButtonType(m_host.m_default), static_cast<UINT>(BS_OWNERDRAW));
    EXPECT_EQ(ButtonType(m_host.m_plain), static_cast<UINT>(BS_OWNERDRAW));
    EXPECT_TRUE(m_host.m_default.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(m_host.m_plain.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_FALSE(m_host.m_plain.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);

    // The dialog manager moves the default between the buttons by their type.
    m_host.SendMessage(DM_SETDEFID, kPlainId);
    EXPECT_FALSE(m_host.m_default.m_bDefaultButton);
    EXPECT_TRUE(m_host.m_plain.m_bDefaultButton);
    EXPECT_EQ(ButtonType(m_host.m_default), static_cast<UINT>(BS_OWNERDRAW));
    EXPECT_EQ(ButtonType(m_host.m_plain), static_cast<UINT>(BS_OWNERDRAW));
    EXPECT_TRUE(m_host.m_plain.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);

    // With other bits: the type stays owner-drawn. The standard button procedure (Wine's as
    // Windows') takes only the type from BM_SETSTYLE, so the other style bits stay as they were.
    const DWORD before = m_host.m_default.GetStyle();
    m_host.m_default.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY, TRUE);
    EXPECT_TRUE(m_host.m_default.m_bDefaultButton);
    EXPECT_EQ(m_host.m_default.GetStyle(), before);
    m_host.m_default.SendMessage(BM_SETSTYLE, BS_CHECKBOX, TRUE);  // other types leave the flag
    EXPECT_TRUE(m_host.m_default.m_bDefaultButton);
    m_host.m_default.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(m_host.m_default.m_bDefaultButton);
    EXPECT_EQ(ButtonType(m_host.m_default), static_cast<UINT>(BS_OWNERDRAW));
}

TEST_F(SkinButtonWindow, ASystemColourChangeRepaintsTheButtonWhoseFaceKeepsTheColourReadAtConstruction)
{
    CSkinButton& button = m_host.m_plain;
    constexpr COLORREF kReadAtConstruction = RGB(12, 34, 56);  // not the system's colour now
    button.m_crFace = kReadAtConstruction;
    ::ValidateRect(button.m_hWnd, nullptr);
    button.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(button.m_crFace, kReadAtConstruction);
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    const CRect item(0, 0, kButton, kButton);
    EXPECT_EQ(Draw(button, 0, item, kButton, kButton)[22 * kButton + 22], kReadAtConstruction);
}

TEST_F(SkinButtonWindow, ADoubleClickIsTwoClicksAndEveryMessageReachesAnInactiveTooltip)
{
    const LPARAM at = MAKELPARAM(5, 5);
    HWND plain = m_host.m_plain.m_hWnd;
    ::PostMessageW(plain, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(plain, WM_LBUTTONUP, 0, at);
    ::PostMessageW(plain, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageW(plain, WM_LBUTTONUP, 0, at);
    PumpFor(150);
    EXPECT_EQ(m_host.m_plainClicks, 2);
    EXPECT_EQ(::GetFocus(), plain);  // the reflected click took the focus, the parent still heard it

    ASSERT_NE(m_host.m_plain.m_tip.m_hWnd, nullptr);
    EXPECT_EQ(m_host.m_plain.m_tip.SendMessage(TTM_GETMAXTIPWIDTH), 400);
    EXPECT_EQ(m_host.m_plain.m_tip.SendMessage(TTM_GETTOOLCOUNT), 0);
    EXPECT_FALSE(m_host.m_plain.m_tip.IsWindowVisible());
}

TEST_F(SkinButtonWindow, ATipTextShowsOnHoverAndNoneLeavesTheTooltipInactiveAndEmpty)
{
    CSkinButton& button = m_host.m_plain;
    const CPoint centre = ScreenCentre(button);
    // Hovers as a user would: the pointer comes to rest on the button and the button hears it.
    auto hoverShowsTip = [&] {
        ::SetCursorPos(centre.x, centre.y);
        ::PostMessageW(button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        for (int i = 0; i < 30; ++i) {
            PumpFor(50);
            if (button.m_tip.IsWindowVisible())
                return true;
        }
        return false;
    };

    button.SetTipText(L"Cannot be reached");
    EXPECT_EQ(button.m_tip.GetToolCount(), 1);
    EXPECT_EQ(button.m_tipText, L"Cannot be reached");
    ASSERT_TRUE(hoverShowsTip());
    wchar_t shown[64] = {};
    ::GetWindowTextW(button.m_tip.m_hWnd, shown, 64);
    EXPECT_STREQ(shown, L"Cannot be reached");

    // The same text again changes nothing; another replaces it.
    button.SetTipText(L"Cannot be reached");
    button.SetTipText(L"Other");
    EXPECT_EQ(button.m_tip.GetToolCount(), 1);

    ::SetCursorPos(centre.x + 300, centre.y + 300);
    button.SetTipText(nullptr);
    EXPECT_EQ(button.m_tip.GetToolCount(), 0);
    EXPECT_EQ(button.m_tipText, L"");
    EXPECT_FALSE(hoverShowsTip());
    button.SetTipText(L"");
    EXPECT_EQ(button.m_tip.GetToolCount(), 0);
    ::SetCursorPos(centre.x + 300, centre.y + 300);
}

// A bitmap's pixels, row by row from the top.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO layout{};
    layout.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> quads(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    afx::unique_window_dc screen(nullptr);
    ::GetDIBits(screen.get(), bitmap, 0, info.bmHeight, quads.data(), &layout, DIB_RGB_COLORS);
    std::vector<COLORREF> pixels;
    for (const RGBQUAD& q : quads)
        pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return pixels;
}

TEST(FadedBitmap, EveryPixelButTheKeyMovesThatFarTowardTheColour)
{
    constexpr COLORREF kToward = RGB(200, 100, 0);
    auto isKey = [](int x, int y) { return (x + y) % 5 == 0; };
    for (const int percent : {0, 60, 100, 130}) {
        afx::unique_hbitmap picture(MakePicture(12, 9, isKey));
        ASSERT_TRUE(FadeBitmap(picture.get(), kKey, kToward, percent));
        const std::vector<COLORREF> after = PixelsOf(picture.get());
        ASSERT_EQ(after.size(), 12u * 9u);
        const int kept = std::min(percent, 100);
        auto channel = [&](int from, int to) { return from + (to - from) * kept / 100; };
        int wrong = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 12; ++x) {
                const COLORREF from = PatternAt(x, y);
                const COLORREF expected = isKey(x, y) ? kKey
                                                      : RGB(channel(GetRValue(from), GetRValue(kToward)),
                                                            channel(GetGValue(from), GetGValue(kToward)),
                                                            channel(GetBValue(from), GetBValue(kToward)));
                wrong += after[y * 12 + x] != expected;
            }
        EXPECT_EQ(wrong, 0) << percent << "%";
    }
    EXPECT_FALSE(FadeBitmap(nullptr, kKey, kToward, 50));
    // From the resources: a device picture, and an id that is none.
    EXPECT_TRUE(LoadFadedBitmap(IDB_CAMERA_OFF, kKey, kToward, 50));
    EXPECT_FALSE(LoadFadedBitmap(4321, kKey, kToward, 50));
}

TEST_F(SkinButtonWindow, HotWhileTheMouseIsOverAndLeftOnEveryWayOut)
{
    CSkinButton& button = m_host.m_plain;
    const CPoint centre = ScreenCentre(button);
    const LPARAM inside = MAKELPARAM(10, 10);
    auto enter = [&] {
        ::SetCursorPos(centre.x, centre.y);
        ::ValidateRect(button.m_hWnd, nullptr);
        button.SendMessage(WM_MOUSEMOVE, 0, inside);
        return button.m_bHot != FALSE;
    };

    // A press that began outside and is dragged in does not make it hot.
    ::SetCursorPos(centre.x, centre.y);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, inside);
    EXPECT_FALSE(button.m_bHot);

    ASSERT_TRUE(enter());
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, &update, FALSE));  // repainted on entry
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, inside);           // held down once hot: stays hot
    EXPECT_TRUE(button.m_bHot);
    // A move whose point lies outside the button.
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-20, 10));
    EXPECT_FALSE(button.m_bHot);

    ASSERT_TRUE(enter());
    button.SendMessage(WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(button.m_bHot);
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, &update, FALSE));  // repainted on exit

    ASSERT_TRUE(enter());
    button.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(button.m_bHot);

    ASSERT_TRUE(enter());
    button.SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(button.m_bHot);
    button.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(button.m_bHot);

    // The system's own leave notification, asked for on entry, once the mouse goes elsewhere.
    ASSERT_TRUE(enter());
    PumpFor(100);
    EXPECT_TRUE(button.m_bHot);
    ::SetCursorPos(centre.x + 200, centre.y + 200);
    for (int i = 0; i < 20 && button.m_bHot; ++i)
        PumpFor(50);
    EXPECT_FALSE(button.m_bHot);
}

TEST_F(SkinButtonWindow, PrintingTheButtonPaintsAsDrawItemDoes)
{
    CSkinButton& button = m_host.m_plain;
    button.AssignImages(MakePicture(48, 47, [](int x, int) { return x % 7 == 0; }), kKey, nullptr, 0);
    button.SetFlatEdge(FALSE, TRUE);
    CRect client;
    button.GetClientRect(&client);
    ASSERT_EQ(client.Size(), CSize(kButton, kButton));  // 22 x 22 dialog units
    const std::vector<COLORREF> printed = RenderToPixels(kButton, kButton, [&](HDC dc) {
        button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
    EXPECT_EQ(printed, Draw(button, 0, client, kButton, kButton));
    EXPECT_EQ(printed[0], PatternAt(2, 1));
}

} // namespace
