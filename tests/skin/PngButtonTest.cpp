// The PNG image button under Wine, in a host dialog with a plain coloured background: its three
// faces checked pixel by pixel against the picture, its background copy, hover tracking with the
// real pointer, the double-click rule, what it shows without a picture, and that its bitmaps and
// DCs go with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

#include "Canvas.h"
#include "PngButton.h"
#include "PngButtonTestIds.h"
#include "PointerInput.h"
#include "ProgramTestSupport.h"
#include "resource.h"

void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

CRect Shifted(CRect rect, int dx, int dy)
{
    rect.OffsetRect(dx, dy);
    return rect;
}
CPoint Shifted(CPoint point, int dx, int dy) { return CPoint(point.x + dx, point.y + dy); }

constexpr COLORREF kHostColour = RGB(20, 110, 160);
constexpr COLORREF kUnpainted = RGB(1, 2, 3);  // what a render target holds before the button draws
constexpr CPoint kHostPlace{100, 100};

// A dialog that shows one image button on a solid colour and counts its clicks.
class CButtonHost : public CDialog {
public:
    CButtonHost(UINT pictureId, CRect buttonRect)
        : CDialog(IDD_TEST_BUTTON_HOST), m_pictureId(pictureId), m_buttonRect(buttonRect)
    {
    }

    std::unique_ptr<CPngButton> m_pButton = std::make_unique<CPngButton>();
    COLORREF m_crBack = kHostColour;
    int m_clicks = 0;

    CRect ButtonOnScreen() const
    {
        CRect rect;
        m_pButton->GetWindowRect(&rect);
        return rect;
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(kHostPlace.x, kHostPlace.y, 320, 200);
        HWND button = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, m_buttonRect.left,
                                        m_buttonRect.top, m_buttonRect.Width(), m_buttonRect.Height(), m_hWnd,
                                        reinterpret_cast<HMENU>(IDC_TEST_BUTTON), AfxGetInstanceHandle(), nullptr);
        m_pButton->SubclassWindow(button);
        if (m_pictureId != 0)
            m_pButton->LoadImageResource(m_pictureId, L"PNG");
        return TRUE;
    }
    BOOL OnEraseBkgnd(CDC* dc)
    {
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, m_crBack);
        return TRUE;
    }
    void OnClicked() { ++m_clicks; }
    DECLARE_MESSAGE_MAP()

private:
    UINT m_pictureId;
    CRect m_buttonRect;
};

BEGIN_MESSAGE_MAP(CButtonHost, CDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnClicked)
END_MESSAGE_MAP()

// The face the button paints for `itemState`, rendered into memory.
class Face {
public:
    Face(CPngButton& button, UINT itemState)
    {
        CRect client;
        button.GetClientRect(&client);
        m_width = client.Width();
        m_height = client.Height();
        m_pixels = RenderButtonFace(button, itemState, client, m_width, m_height, kUnpainted);
    }
    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool AllAre(COLORREF colour) const
    {
        return std::all_of(m_pixels.begin(), m_pixels.end(), [&](COLORREF c) { return c == colour; });
    }
    // The smallest rectangle holding every pixel that differs from `background`.
    CRect Extent(COLORREF background, int tolerance = 8) const
    {
        CRect extent(m_width, m_height, 0, 0);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (ColourDistance(At(x, y), background) > tolerance) {
                    extent.left = std::min<LONG>(extent.left, x);
                    extent.top = std::min<LONG>(extent.top, y);
                    extent.right = std::max<LONG>(extent.right, x + 1);
                    extent.bottom = std::max<LONG>(extent.bottom, y + 1);
                }
        return extent;
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
};

// The picture's own pixels, as GDI+ decodes them (ARGB, not premultiplied).
struct Picture {
    explicit Picture(CPngButton& button) : image(button.m_pResImage->m_pImage->m_nativeImage.get())
    {
        gdip::GdipGetImageWidth(image, &width);
        gdip::GdipGetImageHeight(image, &height);
    }
    Gdiplus::ARGB At(int x, int y) const
    {
        Gdiplus::ARGB argb = 0;
        gdip::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, &argb);
        return argb;
    }
    Gdiplus::GpImage* image;
    UINT width = 0;
    UINT height = 0;
};

int Channel(Gdiplus::ARGB argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// Source over background, one channel; `brighten` applies the hover matrix first.
int Composite(int source, int alpha, int background, bool brighten)
{
    double c = source / 255.0;
    if (brighten)
        c = std::min(1.0, 1.05 * c + 0.05);
    const double a = alpha / 255.0;
    return static_cast<int>(std::lround((a * c + (1.0 - a) * background / 255.0) * 255.0));
}

COLORREF Expected(Gdiplus::ARGB argb, COLORREF background, bool brighten)
{
    const int alpha = Channel(argb, 24);
    return RGB(Composite(Channel(argb, 16), alpha, GetRValue(background), brighten),
               Composite(Channel(argb, 8), alpha, GetGValue(background), brighten),
               Composite(Channel(argb, 0), alpha, GetBValue(background), brighten));
}

// Checks every pixel of `face`: the picture at `offset`, optionally brightened, over the host colour.
void ExpectPictureAt(const Face& face, const Picture& picture, CPoint offset, bool brighten, const char* name)
{
    int wrong = 0;
    for (int y = 0; y < face.Height(); ++y) {
        for (int x = 0; x < face.Width(); ++x) {
            const int px = x - offset.x;
            const int py = y - offset.y;
            const bool inside = px >= 0 && py >= 0 && px < static_cast<int>(picture.width) &&
                                py < static_cast<int>(picture.height);
            const COLORREF expected = inside ? Expected(picture.At(px, py), kHostColour, brighten) : kHostColour;
            if (ColourDistance(face.At(x, y), expected) > 2 && ++wrong <= 5)
                ADD_FAILURE() << name << " face at (" << x << ", " << y << "): " << std::hex << face.At(x, y)
                              << " instead of " << expected;
        }
    }
    EXPECT_EQ(wrong, 0) << name;
}

class PngButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gdiplus = std::make_unique<GdiplusSession>(); }
    static void TearDownTestSuite() { s_gdiplus.reset(); }

    void Run(CButtonHost& host, ModalScript& script) { RunModal(m_app, host, script); }

    CWinApp m_app;
    static inline std::unique_ptr<GdiplusSession> s_gdiplus;
};

TEST_F(PngButtonTest, FacesShowThePictureNormalShiftedWhenPressedAndBrightenedUnderThePointer)
{
    // A control larger than the picture: the background shows around it.
    for (UINT pictureId : {IDR_TEST_PATTERN, IDR_TEST_PATTERN_ALPHA}) {
        SCOPED_TRACE(pictureId == IDR_TEST_PATTERN ? "opaque picture" : "picture with alpha");
        CButtonHost host(pictureId, CRect(CPoint(30, 40), CSize(40, 30)));
        ModalScript script;
        script.Then(300, [&] {
            CPngButton& button = *host.m_pButton;
            ASSERT_TRUE(button.m_bHaveSurfaces);
            ASSERT_EQ(button.GetButtonStyle(), static_cast<UINT>(BS_OWNERDRAW));
            const Picture picture(button);
            ASSERT_EQ(picture.width, 24u);

            ExpectPictureAt(Face(button, 0), picture, CPoint(0, 0), false, "normal");
            ExpectPictureAt(Face(button, ODS_SELECTED), picture, CPoint(1, 1), false, "pressed");
            button.SendMessage(WM_MOUSEHOVER);
            ExpectPictureAt(Face(button, 0), picture, CPoint(0, 0), true, "hover");
            // Held down, the pressed face wins over hovering.
            ExpectPictureAt(Face(button, ODS_SELECTED | ODS_FOCUS), picture, CPoint(1, 1), false, "pressed");
            button.SendMessage(WM_MOUSELEAVE);
            ExpectPictureAt(Face(button, ODS_FOCUS), picture, CPoint(0, 0), false, "normal again");
            host.EndDialog(IDOK);
        });
        Run(host, script);
    }
}

TEST_F(PngButtonTest, HoverFaceHasThePicturesPixelSizeWhileTheOthersFollowItsResolution)
{
    // The keyboard picture is 136 x 49 pixels stored at about 95 dpi; the display has 96.
    CButtonHost host(IDR_PNG_KEYBOARD, CRect(CPoint(10, 10), CSize(160, 70)));
    ModalScript script;
    script.Then(300, [&] {
        CPngButton& button = *host.m_pButton;
        ASSERT_TRUE(button.m_bHaveSurfaces);
        const CRect normal = Face(button, 0).Extent(kHostColour);
        const CRect pressed = Face(button, ODS_SELECTED).Extent(kHostColour);
        button.SendMessage(WM_MOUSEHOVER);
        const CRect hover = Face(button, 0).Extent(kHostColour);

        EXPECT_EQ(hover, CRect(0, 0, 136, 49));
        EXPECT_EQ(normal.TopLeft(), CPoint(0, 0));
        EXPECT_GE(normal.Width(), 137);
        EXPECT_LE(normal.Width(), 139);
        EXPECT_GE(normal.Height(), 49);
        EXPECT_LE(normal.Height(), 51);
        EXPECT_EQ(pressed, Shifted(normal, 1, 1));
        host.EndDialog(IDOK);
    });
    Run(host, script);
}

TEST_F(PngButtonTest, BackgroundIsCapturedOnceFacesAreBuiltOnceAndNothingIsErased)
{
    CButtonHost host(IDR_TEST_PATTERN, CRect(CPoint(30, 40), CSize(40, 30)));
    HDC normalDc = nullptr;
    ModalScript script;
    script
        .Then(300,
              [&] {
                  CPngButton& button = *host.m_pButton;
                  ASSERT_TRUE(button.m_bHaveSurfaces);
                  EXPECT_EQ(button.m_pCurDC, &button.m_dcNormal);
                  normalDc = button.m_dcNormal.GetSafeHdc();
                  // The face covers the whole button, so erasing first would only flicker.
                  const Canvas erased(40, 30, kUnpainted);
                  EXPECT_NE(button.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.dc())), 0);
                  EXPECT_EQ(erased.At(20, 15), kUnpainted);
                  // The host changes colour under the button and repaints everything.
                  host.m_crBack = RGB(200, 30, 30);
                  ::RedrawWindow(host.m_hWnd, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
              })
        .Then(200, [&] {
            CPngButton& button = *host.m_pButton;
            EXPECT_EQ(button.m_dcNormal.GetSafeHdc(), normalDc);
            const CRect place = host.ButtonOnScreen();
            const ScreenCapture screen(CRect(place.left - 2, place.top, place.right, place.bottom));
            EXPECT_EQ(screen.At(0, 5), RGB(200, 30, 30));    // the host, beside the button
            EXPECT_EQ(screen.At(2 + 35, 25), kHostColour);  // the button, beside its picture
            EXPECT_EQ(Face(button, 0).At(39, 29), kHostColour);
            host.EndDialog(IDOK);
        });
    Run(host, script);
}

TEST_F(PngButtonTest, WithoutAPictureItPaintsNothingAndWithABrokenOneOnlyTheBackground)
{
    {
        CButtonHost host(0, CRect(CPoint(30, 40), CSize(40, 30)));
        ModalScript script;
        script.Then(300, [&] {
            CPngButton& button = *host.m_pButton;
            EXPECT_FALSE(button.m_bHaveSurfaces);
            EXPECT_EQ(button.m_dcBk.GetSafeHdc(), nullptr);
            EXPECT_TRUE(Face(button, 0).AllAre(kUnpainted));
            EXPECT_TRUE(Face(button, ODS_SELECTED).AllAre(kUnpainted));
            // Clicks still arrive.
            button.SendMessage(BM_CLICK);
            EXPECT_EQ(host.m_clicks, 1);
            host.EndDialog(IDOK);
        });
        Run(host, script);
    }
    {
        CButtonHost host(IDR_TEST_NOT_AN_IMAGE, CRect(CPoint(30, 40), CSize(40, 30)));
        ModalScript script;
        script.Then(300, [&] {
            CPngButton& button = *host.m_pButton;
            EXPECT_TRUE(button.m_bHaveSurfaces);
            EXPECT_TRUE(Face(button, 0).AllAre(kHostColour));
            EXPECT_TRUE(Face(button, ODS_SELECTED).AllAre(kHostColour));
            button.SendMessage(WM_MOUSEHOVER);
            EXPECT_TRUE(Face(button, 0).AllAre(kHostColour));
            host.EndDialog(IDOK);
        });
        Run(host, script);
    }
}

TEST_F(PngButtonTest, ADoubleClickGivesTwoClicks)
{
    CButtonHost host(IDR_TEST_PATTERN, CRect(CPoint(30, 40), CSize(40, 30)));
    ModalScript script;
    script
        .Then(300,
              [&] {
                  // Posted, so they pass through the message loop as the mouse's own would.
                  const HWND button = host.m_pButton->m_hWnd;
                  const LPARAM at = MAKELPARAM(10, 10);
                  ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
                  ::PostMessageW(button, WM_LBUTTONUP, 0, at);
                  ::PostMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
                  ::PostMessageW(button, WM_LBUTTONUP, 0, at);
              })
        .Then(200, [&] {
            EXPECT_EQ(host.m_clicks, 2);
            host.EndDialog(IDOK);
        });
    Run(host, script);
}

TEST_F(PngButtonTest, ThePointerRestingOnTheButtonLightsItAndLeavingPutsItBack)
{
    CButtonHost host(IDR_TEST_PATTERN, CRect(CPoint(30, 40), CSize(40, 30)));
    ModalScript script;
    script.Then(300, [&] { MovePointer(CPoint(10, 10)); })
        .Then(200, [&] { MovePointer(Shifted(host.ButtonOnScreen().TopLeft(), 5, 5)); })
        .Then(100, [&] { MovePointer(Shifted(host.ButtonOnScreen().TopLeft(), 6, 6)); })
        .ThenWhen([&] { return host.m_pButton->m_bHovering != FALSE; }, 10000,
              [&] {
                  CPngButton& button = *host.m_pButton;
                  EXPECT_TRUE(button.m_bTracking);
                  EXPECT_TRUE(button.m_bHovering);
                  const CRect place = host.ButtonOnScreen();
                  const Picture picture(button);
                  const COLORREF lit = Expected(picture.At(3, 3), kHostColour, true);
                  EXPECT_LE(ColourDistance(SettledScreenPixel(place, 3, 3, lit), lit), 2);
                  MovePointer(CPoint(10, 10));
              })
        .ThenWhen([&] { return host.m_pButton->m_bHovering == FALSE; }, 10000, [&] {
            CPngButton& button = *host.m_pButton;
            EXPECT_FALSE(button.m_bTracking);
            EXPECT_FALSE(button.m_bHovering);
            const CRect place = host.ButtonOnScreen();
            const Picture picture(button);
            const COLORREF plain = Expected(picture.At(3, 3), kHostColour, false);
            EXPECT_LE(ColourDistance(SettledScreenPixel(place, 3, 3, plain), plain), 2);
            host.EndDialog(IDOK);
        });
    Run(host, script);
}

TEST_F(PngButtonTest, ItsBitmapsDCsAndPictureGoWithTheButton)
{
    struct Handles {
        std::vector<HGDIOBJ> objects;
        HGLOBAL picture = nullptr;
    };
    auto collect = [](CPngButton& button) {
        Handles handles;
        for (CDC* dc : {&button.m_dcBk, &button.m_dcNormal, &button.m_dcPressed, &button.m_dcHot}) {
            handles.objects.push_back(dc->GetSafeHdc());
            handles.objects.push_back(::GetCurrentObject(dc->GetSafeHdc(), OBJ_BITMAP));
        }
        handles.picture = button.m_pResImage->m_hBuffer.get();
        return handles;
    };
    auto expectAlive = [](const Handles& handles) {
        for (HGDIOBJ object : handles.objects)
            EXPECT_NE(::GetObjectType(object), 0u);
        EXPECT_NE(::GlobalFlags(handles.picture), static_cast<UINT>(GMEM_INVALID_HANDLE));
    };
    auto expectGone = [](const Handles& handles) {
        for (HGDIOBJ object : handles.objects)
            EXPECT_EQ(::GetObjectType(object), 0u);
    };

    // Destroying the window releases the faces; destroying the object releases the picture too.
    Handles byWindow;
    {
        CButtonHost host(IDR_TEST_PATTERN, CRect(CPoint(30, 40), CSize(40, 30)));
        ModalScript script;
        script.Then(300, [&] {
            byWindow = collect(*host.m_pButton);
            expectAlive(byWindow);
            host.m_pButton->DestroyWindow();
            expectGone(byWindow);
            EXPECT_FALSE(host.m_pButton->m_bHaveSurfaces);
            host.EndDialog(IDOK);
        });
        Run(host, script);
        host.m_pButton.reset();
        EXPECT_EQ(::GlobalFlags(byWindow.picture), static_cast<UINT>(GMEM_INVALID_HANDLE));
    }

    Handles byObject;
    {
        CButtonHost host(IDR_TEST_PATTERN, CRect(CPoint(30, 40), CSize(40, 30)));
        ModalScript script;
        script.Then(300, [&] {
            byObject = collect(*host.m_pButton);
            expectAlive(byObject);
            const HWND window = host.m_pButton->m_hWnd;
            host.m_pButton.reset();
            expectGone(byObject);
            EXPECT_EQ(::GlobalFlags(byObject.picture), static_cast<UINT>(GMEM_INVALID_HANDLE));
            EXPECT_FALSE(::IsWindow(window));
            host.EndDialog(IDOK);
        });
        Run(host, script);
    }
}

} // namespace
