// The device switch page under Wine against the simulated EC: the read and write-back at start,
// the toggles (through notifications and through real mouse clicks), the pictures each button
// shows, and the magenta page that is invisible on screen, with or without a colour key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "EcProtocol.h"
#include "ProgramTestSupport.h"
#include "SwitchPage.h"
#include "TestTablet.h"

namespace {

using Lines = std::vector<std::string>;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBehind = RGB(0, 96, 160);  // the window under the page in screen tests

Lines PortLog(TestTablet& tablet)
{
    Lines lines = tablet.Log();
    for (std::string& line : lines)
        line.erase(std::remove(line.begin(), line.end(), '\n'), line.end());
    return lines;
}

Lines ReadThenFourWrites(const std::string& read, const std::string& written)
{
    Lines log = {"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00", "in 0x361 " + read};
    for (int i = 0; i < 4; ++i)
        log.insert(log.end(), {"out 0x360 0x00", "out 0x361 " + written, "out 0x6C 0x12", "in 0x68 0xFA"});
    return log;
}

std::vector<COLORREF> Render(CSkinButton& button, int width, int height)
{
    return RenderToPixels(width, height, [&](HDC dc) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = button.m_hWnd;
        item.hDC = dc;
        item.rcItem = RECT{0, 0, width, height};
        button.DrawItem(&item);
    });
}

// Which device picture a button shows, by comparing its rendering with each picture's.
UINT ShownPicture(CSkinButton& button)
{
    CRect client;
    button.GetClientRect(&client);
    const std::vector<COLORREF> shown = Render(button, client.Width(), client.Height());
    for (UINT id = IDB_WIRELESS_ON; id <= IDB_WIRELESS_OFF; ++id) {
        CSkinButton reference;
        reference.LoadImages(id, kMagenta, 0, 0);
        reference.SetFlatEdge(FALSE, FALSE);
        if (Render(reference, client.Width(), client.Height()) == shown)
            return id;
    }
    return 0;
}

std::vector<UINT> Pictures(CSwitchPage& page)
{
    return {ShownPicture(page.m_btnWireless), ShownPicture(page.m_btn3G), ShownPicture(page.m_btnCamera),
            ShownPicture(page.m_btnBluetooth)};
}

void Click(CSwitchPage& page, int id)
{
    page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(page.m_hWnd, id)));
}

// A real left click at a screen point, from another thread as a user's mouse would come. Two in
// a row on one spot make a double click, which the program's loop turns into two clicks.
void MouseClick(POINT at)
{
    ::SetCursorPos(at.x, at.y);
    std::thread([] {
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, inputs, sizeof(INPUT));
    }).join();
    PumpFor(150);
}

// A plain window of one colour, for the page to float over.
class CBackdrop : public CWnd {
public:
    explicit CBackdrop(const CRect& rect) : m_brush(kBehind)
    {
        CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                 rect.Width(), rect.Height(), nullptr, nullptr);
    }

protected:
    BOOL OnEraseBkgnd(CDC* dc)
    {
        CRect client;
        GetClientRect(&client);
        ::FillRect(dc->m_hDC, &client, m_brush);
        return TRUE;
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        ::FillRect(dc.m_hDC, &client, m_brush);
    }
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brush;
};

BEGIN_MESSAGE_MAP(CBackdrop, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

// A page on a system without SetLayeredWindowAttributes.
class CUnkeyedSwitchPage : public CSwitchPage {
protected:
    bool ApplyColourKey() override { return false; }
};

class SwitchPageTest : public ::testing::Test {
protected:
    void SetUp() override { g_deviceSwitches = 0; }

    void Create(CSwitchPage& page, uint8_t ecByte)
    {
        m_tablet.SetSwitches(ecByte);
        m_tablet.ClearLog();
        ASSERT_TRUE(page.Create(IDD_SWITCH_PAGE, nullptr));
    }

    // Shows `page` at `at` over a backdrop and returns the screen around it.
    ScreenCapture ShowOverBackdrop(CSwitchPage& page, CPoint at, std::unique_ptr<CBackdrop>& backdrop)
    {
        CRect pageRect;
        page.GetWindowRect(&pageRect);
        const CRect area(at.x - 20, at.y - 20, at.x + pageRect.Width() + 20, at.y + pageRect.Height() + 20);
        backdrop = std::make_unique<CBackdrop>(area);
        page.SetWindowPos(&CWnd::wndTopMost, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        PumpFor(300);
        return ScreenCapture(area);
    }

    // Every pixel of the page outside its buttons shows the backdrop; every button shows its
    // picture as rendered.
    void ExpectOnlyButtonsVisible(CSwitchPage& page, const ScreenCapture& screen, CPoint origin)
    {
        std::vector<CRect> buttons;
        for (CSkinButton* button : {&page.m_btnWireless, &page.m_btn3G, &page.m_btnCamera, &page.m_btnBluetooth}) {
            CRect rect;
            button->GetWindowRect(&rect);
            rect.OffsetRect(-origin.x, -origin.y);
            buttons.push_back(rect);
            const std::vector<COLORREF> drawn = Render(*button, rect.Width(), rect.Height());
            int differing = 0;
            for (int y = 0; y < rect.Height(); ++y)
                for (int x = 0; x < rect.Width(); ++x)
                    if (ColourDistance(screen.At(rect.left + x, rect.top + y), drawn[y * rect.Width() + x]) > 8)
                        ++differing;
            EXPECT_EQ(differing, 0) << "button at " << rect.left << "," << rect.top;
        }
        int shown = 0;
        int magenta = 0;
        for (int y = 0; y < screen.Height(); ++y)
            for (int x = 0; x < screen.Width(); ++x) {
                if (std::any_of(buttons.begin(), buttons.end(), [&](const CRect& r) { return r.PtInRect({x, y}); }))
                    continue;
                if (ColourDistance(screen.At(x, y), kBehind) > 8)
                    ++shown;
                if (screen.At(x, y) == kMagenta)
                    ++magenta;
            }
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(magenta, 0);
    }

    TestTablet m_tablet;
};

TEST_F(SwitchPageTest, StartReadsOnceWritesTheByteBackFourTimesAndShowsIt)
{
    CSwitchPage page;
    Create(page, 0x09);
    EXPECT_EQ(g_deviceSwitches, 0x09);
    EXPECT_EQ(PortLog(m_tablet), ReadThenFourWrites("0x09", "0x09"));
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 5);

    // Bound in the order of the bits, to the controls the template places left to right.
    EXPECT_EQ(page.m_btnWireless.GetDlgCtrlID(), IDC_SWITCH_WIRELESS);
    EXPECT_EQ(page.m_btn3G.GetDlgCtrlID(), IDC_SWITCH_3G);
    EXPECT_EQ(page.m_btnCamera.GetDlgCtrlID(), IDC_SWITCH_CAMERA);
    EXPECT_EQ(page.m_btnBluetooth.GetDlgCtrlID(), IDC_SWITCH_BLUETOOTH);
    EXPECT_FALSE(page.m_btnCamera.m_bFlatEdge);
}

TEST_F(SwitchPageTest, AByteReadAsFFStartsAllOff)
{
    CSwitchPage page;
    Create(page, 0xFF);
    EXPECT_EQ(g_deviceSwitches, 0x00);
    EXPECT_EQ(PortLog(m_tablet), ReadThenFourWrites("0xFF", "0x00"));
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_OFF}));
    EXPECT_EQ(m_tablet.Field("switches"), "0x00");
}

TEST_F(SwitchPageTest, EachClickFlipsOneBitWritesTheWholeByteAndSwapsThePicture)
{
    CSwitchPage page;
    Create(page, 0xA9);
    m_tablet.ClearLog();

    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(g_deviceSwitches, 0xAD);
    EXPECT_EQ(PortLog(m_tablet), (Lines{"out 0x360 0x00", "out 0x361 0xAD", "out 0x6C 0x12", "in 0x68 0xFA"}));
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_ON);
    EXPECT_EQ(m_tablet.Field("switches"), "0xAD");
    EXPECT_EQ(::GetFocus(), page.m_btnCamera.m_hWnd);  // the button took the focus on its way

    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(g_deviceSwitches, 0xA9);
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_OFF);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4 + 2);

    // Every device in turn; the EC is not read again, and bits 4 to 7 ride along every time.
    m_tablet.SetSwitches(0x00);  // a change elsewhere is not seen
    Click(page, IDC_SWITCH_WIRELESS);
    EXPECT_EQ(g_deviceSwitches, 0xA8);
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(g_deviceSwitches, 0xAA);
    Click(page, IDC_SWITCH_BLUETOOTH);
    EXPECT_EQ(g_deviceSwitches, 0xA2);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_ON, IDB_CAMERA_OFF, IDB_BLUETOOTH_OFF}));
    EXPECT_EQ(m_tablet.Field("switches"), "0xA2");
    EXPECT_EQ(m_tablet.Number("ec_reads"), 1);
    for (const std::string& line : PortLog(m_tablet)) {
        if (line.rfind("out 0x361 ", 0) == 0) {
            EXPECT_EQ(line.substr(10, 3), "0xA") << line;
        }
    }
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
}

TEST_F(SwitchPageTest, MagentaBackgroundIsInvisibleOnScreenAndTheButtonsShowAndTakeClicks)
{
    CSwitchPage page;
    Create(page, 0x09);

    // The page paints its background, and answers every colour request, with pure magenta.
    EXPECT_TRUE(page.GetExStyle() & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 1;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(page.m_hWnd, &key, &alpha, &flags));
    EXPECT_EQ(key, kMagenta);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    CRect client;
    page.GetClientRect(&client);
    const std::vector<COLORREF> background = RenderToPixels(client.Width(), client.Height(), [&](HDC dc) {
        page.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    });
    EXPECT_EQ(std::count(background.begin(), background.end(), kMagenta),
              static_cast<long>(background.size()));
    afx::unique_window_dc screenDc(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        page.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(screenDc.get()), 0));
    LOGBRUSH info{};
    ASSERT_TRUE(::GetObjectW(brush, sizeof info, &info));
    EXPECT_EQ(info.lbColor, kMagenta);

    const CPoint at(100, 120);
    std::unique_ptr<CBackdrop> backdrop;
    const ScreenCapture screen = ShowOverBackdrop(page, at, backdrop);
    ExpectOnlyButtonsVisible(page, screen, CPoint(at.x - 20, at.y - 20));

    // Clicks on the screen reach the buttons through the keyed window.
    CRect camera;
    page.m_btnCamera.GetWindowRect(&camera);
    m_tablet.ClearLog();
    MouseClick({camera.left + camera.Width() / 2, camera.top + camera.Height() / 2});
    EXPECT_EQ(g_deviceSwitches, 0x0D);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0D");
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_ON);
    MouseClick({camera.left + camera.Width() / 2, camera.top + camera.Height() / 2});
    EXPECT_EQ(g_deviceSwitches, 0x09);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4 + 2);

    // A click on the see-through part changes nothing.
    MouseClick({at.x + 2, at.y + 2});
    EXPECT_EQ(g_deviceSwitches, 0x09);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4 + 2);
    page.ShowWindow(SW_HIDE);
}

TEST_F(SwitchPageTest, WithoutAColourKeyThePageIsAnOrdinaryWindowCutToItsButtons)
{
    CUnkeyedSwitchPage page;
    Create(page, 0x05);
    EXPECT_FALSE(page.GetExStyle() & WS_EX_LAYERED);

    afx::unique_hrgn region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(page.m_hWnd, region.get()), ERROR);
    CRect pageRect;
    page.GetWindowRect(&pageRect);
    for (CSkinButton* button : {&page.m_btnWireless, &page.m_btn3G, &page.m_btnCamera, &page.m_btnBluetooth}) {
        CRect rect;
        button->GetWindowRect(&rect);
        rect.OffsetRect(-pageRect.left, -pageRect.top);
        EXPECT_TRUE(::PtInRegion(region.get(), rect.left, rect.top));
        EXPECT_TRUE(::PtInRegion(region.get(), rect.right - 1, rect.bottom - 1));
    }
    EXPECT_FALSE(::PtInRegion(region.get(), 1, 1));

    const CPoint at(140, 150);
    std::unique_ptr<CBackdrop> backdrop;
    const ScreenCapture screen = ShowOverBackdrop(page, at, backdrop);
    ExpectOnlyButtonsVisible(page, screen, CPoint(at.x - 20, at.y - 20));

    CRect wireless;
    page.m_btnWireless.GetWindowRect(&wireless);
    MouseClick({wireless.left + 10, wireless.top + 10});
    EXPECT_EQ(g_deviceSwitches, 0x04);
    EXPECT_EQ(ShownPicture(page.m_btnWireless), IDB_WIRELESS_OFF);
    page.ShowWindow(SW_HIDE);
}

TEST_F(SwitchPageTest, WithoutPortAccessThePageWorksOnItsOwnCopy)
{
    m_tablet.SetWinio(false);
    CSwitchPage page;
    Create(page, 0x0F);
    EXPECT_EQ(g_deviceSwitches, 0x00);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_OFF}));
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(g_deviceSwitches, 0x02);
    EXPECT_EQ(ShownPicture(page.m_btn3G), IDB_3G_ON);
    EXPECT_TRUE(PortLog(m_tablet).empty());
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);
}

} // namespace
