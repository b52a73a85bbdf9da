// The device switch page under Wine against the simulated EC: the read and write-back at start,
// the read at every show, the taps that turn a device to the opposite of its picture in a fresh
// read (through notifications and through real mouse clicks), the pictures each button shows,
// the unreachable look with its tooltips when the EC does not answer, a port call fails or the
// ports are refused, the next tap trying again, and the magenta page that is invisible on
// screen, with or without a colour key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "EcProtocol.h"
#include "FadedBitmap.h"
#include "PortFaultsSupport.h"
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

Lines ReadOf(const std::string& byte) { return {"out 0x6C 0x11", "in 0x68 0xFA", "out 0x360 0x00", "in 0x361 " + byte}; }

Lines WriteOf(const std::string& byte) { return {"out 0x360 0x00", "out 0x361 " + byte, "out 0x6C 0x12", "in 0x68 0xFA"}; }

// Start-up on the wire: the read, then per device a fresh read and the write of what it found.
Lines StartUp(const std::string& first, const std::string& written)
{
    Lines log = ReadOf(first);
    for (int i = 0; i < 4; ++i) {
        const Lines read = ReadOf(i == 0 ? first : written);
        const Lines write = WriteOf(written);
        log.insert(log.end(), read.begin(), read.end());
        log.insert(log.end(), write.begin(), write.end());
    }
    return log;
}

// A picture id with this bit set is that picture in the unreachable look.
constexpr UINT kFaded = 0x10000;

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

// Which device picture a button shows, by comparing its rendering with each picture's, plain or
// faded as an unreachable switch shows it.
UINT ShownPicture(CSkinButton& button)
{
    CRect client;
    button.GetClientRect(&client);
    const std::vector<COLORREF> shown = Render(button, client.Width(), client.Height());
    for (UINT id = IDB_WIRELESS_ON; id <= IDB_WIRELESS_OFF; ++id) {
        for (const bool faded : {false, true}) {
            CSkinButton reference;
            if (faded)
                reference.AssignImages(
                    LoadFadedBitmap(id, kMagenta, reference.m_crFace, kSwitchUnreachableFade).release(), kMagenta,
                    nullptr, 0);
            else
                reference.LoadImages(id, kMagenta, 0, 0);
            reference.SetFlatEdge(FALSE, FALSE);
            if (Render(reference, client.Width(), client.Height()) == shown)
                return faded ? id | kFaded : id;
        }
    }
    return 0;
}

std::vector<UINT> Pictures(CSwitchPage& page)
{
    return {ShownPicture(page.m_btnWireless), ShownPicture(page.m_btn3G), ShownPicture(page.m_btnCamera),
            ShownPicture(page.m_btnBluetooth)};
}

const std::vector<UINT> kAllUnreachable = {IDB_WIRELESS_OFF | kFaded, IDB_3G_OFF | kFaded, IDB_CAMERA_OFF | kFaded,
                                           IDB_BLUETOOTH_OFF | kFaded};

// The tooltip text every button carries (the same on all four), or "" when they have none.
std::wstring TipText(CSwitchPage& page)
{
    std::wstring text;
    for (CSkinButton* button : {&page.m_btnWireless, &page.m_btn3G, &page.m_btnCamera, &page.m_btnBluetooth}) {
        const std::wstring own = button->m_tipText.str();
        EXPECT_EQ(button->m_tip.GetToolCount(), own.empty() ? 0 : 1);
        if (button == &page.m_btnWireless)
            text = own;
        EXPECT_EQ(own, text);
    }
    return text;
}

std::wstring ResourceText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text.str();
}

// The page shown as the panel shows it, and hidden again. (Hiding the active window can cost
// seconds under Xvfb, so none is.)
void ShowAndHide(CSwitchPage& page)
{
    ::SetActiveWindow(nullptr);
    page.SetWindowPos(nullptr, -1000, -1000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    page.ShowWindow(SW_SHOWNOACTIVATE);
    page.ShowWindow(SW_HIDE);
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
        ::FillRect(dc->GetSafeHdc(), &client, m_brush);
        return TRUE;
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        ::FillRect(dc.GetSafeHdc(), &client, m_brush);
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

TEST_F(SwitchPageTest, StartReadsTheByteAndWritesItBackOncePerDeviceEachTimeAfterAFreshRead)
{
    CSwitchPage page;
    Create(page, 0x09);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(g_deviceSwitches, 0x09);
    EXPECT_EQ(PortLog(m_tablet), StartUp("0x09", "0x09"));
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(TipText(page), L"");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    EXPECT_EQ(m_tablet.Number("winio_opens"), 5);

    // Bound in the order of the bits, to the controls the template places left to right.
    EXPECT_EQ(page.m_btnWireless.GetDlgCtrlID(), IDC_SWITCH_WIRELESS);
    EXPECT_EQ(page.m_btn3G.GetDlgCtrlID(), IDC_SWITCH_3G);
    EXPECT_EQ(page.m_btnCamera.GetDlgCtrlID(), IDC_SWITCH_CAMERA);
    EXPECT_EQ(page.m_btnBluetooth.GetDlgCtrlID(), IDC_SWITCH_BLUETOOTH);
    EXPECT_FALSE(page.m_btnCamera.m_bFlatEdge);
}

TEST_F(SwitchPageTest, AByteReadAsFFIsNoByteAtStartAtAShowOrBeforeATapAndNothingIsWritten)
{
    CSwitchPage page;
    Create(page, 0xFF);
    EXPECT_EQ(page.Reach(), EcResult::NoAnswer);
    EXPECT_EQ(PortLog(m_tablet), ReadOf("0xFF"));
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(TipText(page), ResourceText(IDS_SWITCHES_NO_ANSWER));

    // A byte again: shown as it is; then 0xFF at a show, and before a tap.
    m_tablet.SetSwitches(0x09);
    ShowAndHide(page);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));
    m_tablet.SetSwitches(0xFF);
    ShowAndHide(page);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    m_tablet.SetSwitches(0x09);
    ShowAndHide(page);
    m_tablet.SetSwitches(0xFF);
    m_tablet.ClearLog();
    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(PortLog(m_tablet), ReadOf("0xFF"));
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(m_tablet.Field("switches"), "0xFF");
}

TEST_F(SwitchPageTest, EachTapTurnsItsDeviceToTheOppositeOfItsPictureInAFreshReadAndShowsTheByteWritten)
{
    CSwitchPage page;
    Create(page, 0xA9);
    m_tablet.ClearLog();

    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(g_deviceSwitches, 0xAD);
    Lines expected = ReadOf("0xA9");
    const Lines write = WriteOf("0xAD");
    expected.insert(expected.end(), write.begin(), write.end());
    EXPECT_EQ(PortLog(m_tablet), expected);
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_ON);
    EXPECT_EQ(m_tablet.Field("switches"), "0xAD");
    EXPECT_EQ(::GetFocus(), page.m_btnCamera.m_hWnd);  // the button took the focus on its way

    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(g_deviceSwitches, 0xA9);
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_OFF);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4 + 2);

    // Wi-Fi turned off and Bluetooth on elsewhere, the upper bits changed too: a click on 3G
    // keeps all of it, and every picture shows the byte the EC now holds.
    m_tablet.SetSwitches(0x58);
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(g_deviceSwitches, 0x5A);
    EXPECT_EQ(m_tablet.Field("switches"), "0x5A");
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_ON, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));

    // What the picture promises is what a tap does: the camera turned on elsewhere (the tablet's
    // own key), a tap on the camera still showing off means "on", and on it stays; the same
    // tap again, now on a camera shown on, turns it off even though it was turned off elsewhere
    // meanwhile and Bluetooth with it.
    m_tablet.SetSwitches(0x5E);
    m_tablet.ClearLog();
    Click(page, IDC_SWITCH_CAMERA);
    expected = ReadOf("0x5E");
    const Lines same = WriteOf("0x5E");
    expected.insert(expected.end(), same.begin(), same.end());
    EXPECT_EQ(PortLog(m_tablet), expected);
    EXPECT_EQ(m_tablet.Field("switches"), "0x5E");
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_ON, IDB_CAMERA_ON, IDB_BLUETOOTH_ON}));
    m_tablet.SetSwitches(0x52);
    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(m_tablet.Field("switches"), "0x52");
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_ON, IDB_CAMERA_OFF, IDB_BLUETOOTH_OFF}));
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
}

TEST_F(SwitchPageTest, AnEcAnsweringFortyMillisecondsAfterEachCommandIsHeardAtStartAndOnATap)
{
    m_tablet.SetAckDelay(40);
    CSwitchPage page;
    Create(page, 0x09);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_OFF, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));
    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0D");
    EXPECT_EQ(ShownPicture(page.m_btnCamera), IDB_CAMERA_ON);
}

TEST_F(SwitchPageTest, AFailedPortWriteShowsNoChangeAndTheNextTapTriesTheSameChangeAgain)
{
    CSwitchPage page;
    Create(page, 0x09);
    ScopedPortFaults faults;

    // Every third byte written to the data port is refused. Whatever happens to a tap, the
    // pictures never show a byte the EC does not hold: either that byte, or the faded look.
    int dataWrites = 0;
    faults->refuseWrite = [&](WORD port, DWORD) { return port == ec::kDataPort && ++dataWrites % 3 == 0; };
    int failed = 0;
    for (int tap = 0; tap < 8; ++tap) {
        Click(page, IDC_SWITCH_CAMERA);
        const uint8_t held = static_cast<uint8_t>(m_tablet.Number("switches"));
        if (page.Reach() == EcResult::Done) {
            EXPECT_EQ(g_deviceSwitches, held) << "tap " << tap;
            EXPECT_EQ(ShownPicture(page.m_btnCamera), (held & 0x04) != 0 ? IDB_CAMERA_ON : IDB_CAMERA_OFF);
        } else {
            ++failed;
            EXPECT_EQ(Pictures(page), kAllUnreachable) << "tap " << tap;
        }
    }
    EXPECT_GE(failed, 2);
    // A failed tap is tried again by the next: each write that got through changed the camera.
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4 + 8 - failed);
    EXPECT_EQ(m_tablet.Field("switches"), (8 - failed) % 2 == 0 ? "0x09" : "0x0D");

    // The write command refused: the read command's 0xFA is still on the answer port, and it is
    // not taken for the answer. Nothing changes, and the picture says so.
    faults->refuseWrite = [](WORD port, DWORD value) { return port == ec::kCommandPort && value == ec::kWriteCommand; };
    const std::string before = m_tablet.Field("switches");
    Click(page, IDC_SWITCH_WIRELESS);
    EXPECT_EQ(page.Reach(), EcResult::NoAnswer);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(m_tablet.Field("switches"), before);
    faults->refuseWrite = nullptr;
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(ShownPicture(page.m_btn3G), IDB_3G_ON);
}

TEST_F(SwitchPageTest, ShowingThePageReadsTheEcAgainAndShowsWhatChangedMeanwhile)
{
    CSwitchPage page;
    Create(page, 0x01);
    m_tablet.SetSwitches(0x0C);
    m_tablet.ClearLog();
    ShowAndHide(page);
    EXPECT_EQ(PortLog(m_tablet), ReadOf("0x0C"));
    EXPECT_EQ(g_deviceSwitches, 0x0C);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_OFF, IDB_CAMERA_ON, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(m_tablet.Number("ec_writes"), 4);  // a show only reads
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
    // Hiding reads nothing.
    m_tablet.ClearLog();
    page.ShowWindow(SW_HIDE);
    EXPECT_TRUE(PortLog(m_tablet).empty());
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

TEST_F(SwitchPageTest, AnEcThatNeverAnswersAtStartIsNeverWrittenAndEachShowAsksAgain)
{
    m_tablet.SetAckNever();
    CSwitchPage page;
    Create(page, 0x0B);
    EXPECT_EQ(page.Reach(), EcResult::NoAnswer);
    EXPECT_EQ(m_tablet.Number("ec_reads"), 1);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(TipText(page), ResourceText(IDS_SWITCHES_NO_ANSWER));

    // Switches that never showed a state promise nothing: a tap tries to read them, nothing more.
    m_tablet.ClearLog();
    for (int id : {IDC_SWITCH_CAMERA, IDC_SWITCH_WIRELESS})
        Click(page, id);
    EXPECT_EQ(m_tablet.Number("ec_reads"), 3);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 0);
    EXPECT_EQ(Pictures(page), kAllUnreachable);

    // Each show reads again; once the EC answers, the switches come back as it holds them.
    ShowAndHide(page);
    EXPECT_EQ(m_tablet.Number("ec_reads"), 4);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    m_tablet.SetAckNow();
    ShowAndHide(page);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_ON, IDB_CAMERA_OFF, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(TipText(page), L"");
    Click(page, IDC_SWITCH_CAMERA);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0F");

    // An EC that stops answering between two clicks: the click writes nothing, and the page shows
    // at once that the switches cannot be reached.
    m_tablet.SetAckNever();
    Click(page, IDC_SWITCH_WIRELESS);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0F");
    EXPECT_EQ(page.Reach(), EcResult::NoAnswer);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(m_tablet.Number("ec_writes"), 1);

    // The next tap tries again, on a fresh read: wireless, shown on before it faded, goes off.
    m_tablet.SetAckNow();
    Click(page, IDC_SWITCH_WIRELESS);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0E");
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_OFF, IDB_3G_ON, IDB_CAMERA_ON, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(TipText(page), L"");
    EXPECT_EQ(m_tablet.Number("winio_open"), 0);
}

TEST_F(SwitchPageTest, WithoutPortAccessTheSwitchesShowUnreachableTakeNoClicksAndComeBackLater)
{
    m_tablet.SetWinio(false);
    CSwitchPage page;
    Create(page, 0x0F);
    EXPECT_EQ(page.Reach(), EcResult::NoPortAccess);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(TipText(page), ResourceText(IDS_SWITCHES_NO_PORT_ACCESS));
    EXPECT_NE(ResourceText(IDS_SWITCHES_NO_PORT_ACCESS), L"");
    const long long opens = m_tablet.Number("winio_opens");
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(Pictures(page), kAllUnreachable);
    EXPECT_EQ(m_tablet.Number("winio_opens"), opens);  // a click does not even ask
    EXPECT_TRUE(PortLog(m_tablet).empty());
    EXPECT_EQ(m_tablet.Number("port_denied"), 0);

    m_tablet.SetWinio(true);
    ShowAndHide(page);
    EXPECT_EQ(page.Reach(), EcResult::Done);
    EXPECT_EQ(Pictures(page), (std::vector<UINT>{IDB_WIRELESS_ON, IDB_3G_ON, IDB_CAMERA_ON, IDB_BLUETOOTH_ON}));
    EXPECT_EQ(TipText(page), L"");
    Click(page, IDC_SWITCH_3G);
    EXPECT_EQ(m_tablet.Field("switches"), "0x0D");
    EXPECT_EQ(ShownPicture(page.m_btn3G), IDB_3G_OFF);
}

} // namespace
