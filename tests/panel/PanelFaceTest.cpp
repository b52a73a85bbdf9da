// The panel's look on screen: its pixels over a known background are the artwork composed with
// its own alpha, so transparent corners show what lies behind and the close mark sits under the
// close button.
#include <gtest/gtest.h>

#include <memory>

#include "GdiplusImage.h"
#include "PanelTestSupport.h"
#include "TabvisorDlg.h"
#include "Wine.h"

namespace {

constexpr COLORREF kBehind = RGB(20, 40, 200);

// A plain window of one colour, behind the panel.
class BackgroundWindow {
public:
    BackgroundWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TabvisorTestBackground";
        wc.hbrBackground = m_brush.get();
        ::RegisterClassW(&wc);
        const CRect area = WorkArea();
        m_hwnd = ::CreateWindowExW(WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                   area.Width(), area.Height(), nullptr, nullptr, wc.hInstance, nullptr);
        ::UpdateWindow(m_hwnd);
    }
    ~BackgroundWindow()
    {
        ::DestroyWindow(m_hwnd);
        ::UnregisterClassW(L"TabvisorTestBackground", ::GetModuleHandleW(nullptr));
    }

private:
    afx::unique_hbrush m_brush{::CreateSolidBrush(kBehind)};
    HWND m_hwnd = nullptr;
};

// The artwork's pixel at (x, y) laid over the background colour by its alpha.
COLORREF Composed(CGdiplusImage& face, int x, int y)
{
    Gdiplus::ARGB argb = 0;
    gdip::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(face.m_nativeImage.get()), x, y, &argb);
    const int a = (argb >> 24) & 0xFF;
    auto mix = [a](int source, int behind) { return (source * a + behind * (255 - a) + 127) / 255; };
    return RGB(mix((argb >> 16) & 0xFF, GetRValue(kBehind)), mix((argb >> 8) & 0xFF, GetGValue(kBehind)),
               mix(argb & 0xFF, GetBValue(kBehind)));
}

class PanelFaceTest : public PanelTestFixture {};

TEST_F(PanelFaceTest, OnScreenThePanelIsTheArtworkBlendedByItsAlphaAlsoWhenComposedAgain)
{
    BackgroundWindow behind;
    std::unique_ptr<CGdiplusImage> face;
    ASSERT_TRUE(LoadPngResource(IDR_PNG_PANEL, L"PNG", face));
    ASSERT_TRUE(face->m_nativeImage);

    CTabvisorDlg panel;
    // Compares the screen with the artwork; the count of points checked, the mismatches reported.
    auto expectFace = [&](const char* when) {
        CRect rect;
        panel.GetWindowRect(&rect);
        ASSERT_EQ(rect.Size(), CSize(kPanelWidth, kPanelHeight)) << when;
        ScreenCapture screen(rect);
        EXPECT_TRUE(screen.FromXServer() || !afx::RunningUnderWine()) << screen.Problem();
        EXPECT_TRUE(panel.IsWindowVisible());
        int checked = 0;
        int mismatched = 0;
        COLORREF firstSeen = 0, firstWanted = 0;
        CPoint firstAt;
        for (int y = 0; y < kPanelHeight; y += 3) {
            for (int x = 0; x < kPanelWidth; x += 3) {
                const COLORREF wanted = Composed(*face, x, y);
                const COLORREF seen = screen.At(x, y);
                ++checked;
                if (ColourDistance(seen, wanted) > 4 && mismatched++ == 0) {
                    firstSeen = seen;
                    firstWanted = wanted;
                    firstAt = CPoint(x, y);
                }
            }
        }
        EXPECT_GT(checked, 30000);
        EXPECT_EQ(mismatched, 0) << when << ": first at (" << firstAt.x << ", " << firstAt.y << "): seen 0x"
                                 << std::hex << firstSeen << ", wanted 0x" << firstWanted;
        // The corners are fully transparent: the background shows there exactly.
        EXPECT_EQ(screen.At(0, 0), kBehind) << when;
        EXPECT_EQ(screen.At(kPanelWidth - 1, kPanelHeight - 1), kBehind) << when;
        // The close mark is red, right under the close button (its cross is white in the middle).
        CRect closeButton;
        panel.GetDlgItem(IDC_PANEL_CLOSE)->GetWindowRect(&closeButton);
        const COLORREF mark = screen.At(closeButton.left + 4 - rect.left, closeButton.CenterY() - rect.top);
        EXPECT_GT(GetRValue(mark), 150) << when;
        EXPECT_LT(GetGValue(mark), 120) << when;
        // Once the window system has the picture, the decoded image and the surface are gone.
        EXPECT_EQ(panel.m_pBkImage, nullptr) << when;
        EXPECT_FALSE(panel.m_hMemDC) << when;
        EXPECT_FALSE(panel.m_hMemBitmap) << when;
    };
    ModalScript script;
    script
        .Then(300, [&] { panel.ShowWindow(SW_SHOWNA); })  // the panel alone: pages stay hidden
        .Then(200,
              [&] {
                  expectFace("composed at start");
                  // A display change composes the face again, from the resource.
                  panel.SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(::GetSystemMetrics(SM_CXSCREEN),
                                                                     ::GetSystemMetrics(SM_CYSCREEN)));
              })
        .Then(200, [&] {
            expectFace("composed again");
            panel.EndDialog(IDCANCEL);
        });
    Run(panel, script);
}

} // namespace
