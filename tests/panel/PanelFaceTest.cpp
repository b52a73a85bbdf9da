// The panel's look on screen: its pixels over a known background are the artwork composed with
// its own alpha, so transparent corners show what lies behind and the close mark sits under the
// close button.
#include <gtest/gtest.h>

#include "GdiplusImage.h"
#include "PanelTestSupport.h"
#include "TabvisorDlg.h"

namespace {

constexpr COLORREF kBehind = RGB(20, 40, 200);

bool RunningUnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

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
    gdip::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(face.m_nativeImage), x, y, &argb);
    const int a = (argb >> 24) & 0xFF;
    auto mix = [a](int source, int behind) { return (source * a + behind * (255 - a) + 127) / 255; };
    return RGB(mix((argb >> 16) & 0xFF, GetRValue(kBehind)), mix((argb >> 8) & 0xFF, GetGValue(kBehind)),
               mix(argb & 0xFF, GetBValue(kBehind)));
}

class PanelFaceTest : public PanelTestFixture {};

TEST_F(PanelFaceTest, OnScreenThePanelIsTheArtworkBlendedByItsAlpha)
{
    BackgroundWindow behind;
    CGdiplusImage* face = nullptr;
    ASSERT_TRUE(LoadPngResource(IDR_PNG_PANEL, L"PNG", &face));
    ASSERT_NE(face->m_nativeImage, nullptr);

    CTabvisorDlg panel;
    int checked = 0;
    int mismatched = 0;
    COLORREF firstMismatchSeen = 0, firstMismatchWanted = 0;
    CPoint firstMismatchAt;
    CRect closeButton;
    ModalScript script;
    script
        .Then(300, [&] { panel.ShowWindow(SW_SHOWNA); })  // the panel alone: pages stay hidden
        .Then(200, [&] {
            CRect rect;
            panel.GetWindowRect(&rect);
            ASSERT_EQ(rect.Size(), CSize(kPanelWidth, kPanelHeight));
            ScreenCapture screen(rect);
            EXPECT_TRUE(screen.FromXServer() || !RunningUnderWine()) << screen.Problem();
            EXPECT_TRUE(panel.IsWindowVisible());
            for (int y = 0; y < kPanelHeight; y += 3) {
                for (int x = 0; x < kPanelWidth; x += 3) {
                    const COLORREF wanted = Composed(*face, x, y);
                    const COLORREF seen = screen.At(x, y);
                    ++checked;
                    if (ColourDistance(seen, wanted) > 4) {
                        if (mismatched++ == 0) {
                            firstMismatchSeen = seen;
                            firstMismatchWanted = wanted;
                            firstMismatchAt = CPoint(x, y);
                        }
                    }
                }
            }
            // The corners are fully transparent: the background shows there exactly.
            EXPECT_EQ(screen.At(0, 0), kBehind);
            EXPECT_EQ(screen.At(kPanelWidth - 1, kPanelHeight - 1), kBehind);
            // The close mark is red, right under the close button (its cross is white in the middle).
            panel.GetDlgItem(IDC_PANEL_CLOSE)->GetWindowRect(&closeButton);
            const COLORREF mark = screen.At(closeButton.left + 4 - rect.left, closeButton.CenterY() - rect.top);
            EXPECT_GT(GetRValue(mark), 150);
            EXPECT_LT(GetGValue(mark), 120);
            panel.EndDialog(IDCANCEL);
        });
    Run(panel, script);

    EXPECT_GT(checked, 30000);
    EXPECT_EQ(mismatched, 0) << "first at (" << firstMismatchAt.x << ", " << firstMismatchAt.y << "): seen 0x"
                             << std::hex << firstMismatchSeen << ", wanted 0x" << firstMismatchWanted;
    delete face;
}

} // namespace
