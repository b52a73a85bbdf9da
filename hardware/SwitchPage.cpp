// The device switch page: the EC read and write-back at start, the read at every show, the
// taps, the unreachable look, and the colour key.
#include "SwitchPage.h"

#include "FadedBitmap.h"
#include "LayeredWindow.h"
#include "ScaledArtwork.h"

namespace {

struct SwitchInfo {
    CSkinButton CSwitchPage::*button;
    ArtworkIds offBitmap;
    ArtworkIds onBitmap;
};

// Indexed by the device-switch bit.
constexpr SwitchInfo kSwitches[4] = {
    {&CSwitchPage::m_btnWireless, {IDB_WIRELESS_OFF, IDR_2X_WIRELESS_OFF}, {IDB_WIRELESS_ON, IDR_2X_WIRELESS_ON}},
    {&CSwitchPage::m_btn3G, {IDB_3G_OFF, IDR_2X_3G_OFF}, {IDB_3G_ON, IDR_2X_3G_ON}},
    {&CSwitchPage::m_btnCamera, {IDB_CAMERA_OFF, IDR_2X_CAMERA_OFF}, {IDB_CAMERA_ON, IDR_2X_CAMERA_ON}},
    {&CSwitchPage::m_btnBluetooth, {IDB_BLUETOOTH_OFF, IDR_2X_BLUETOOTH_OFF}, {IDB_BLUETOOTH_ON, IDR_2X_BLUETOOTH_ON}},
};

constexpr uint8_t kWirelessBit = 0;
constexpr uint8_t k3GBit = 1;
constexpr uint8_t kCameraBit = 2;
constexpr uint8_t kBluetoothBit = 3;

// One read of the EC inside its own port access.
EcResult ReadSwitchesNow()
{
    CEcPortAccess access;
    return ReadDeviceSwitches();
}

UINT ReasonText(EcResult reach)
{
    return reach == EcResult::NoPortAccess ? IDS_SWITCHES_NO_PORT_ACCESS : IDS_SWITCHES_NO_ANSWER;
}

} // namespace

CSwitchPage::CSwitchPage(CWnd* parent) : CScaledDialog(IDD_SWITCH_PAGE, parent)
{
    // The page is never the active window (the brightness page keeps the focus), and a tooltip
    // shows over an inactive window only when told to.
    for (const SwitchInfo& info : kSwitches)
        (this->*info.button).m_dwTipStyle = TTS_ALWAYSTIP;
}

// The brush goes before the buttons and the window, as the members' order has it.
CSwitchPage::~CSwitchPage() = default;

BEGIN_MESSAGE_MAP(CSwitchPage, CScaledDialog)
    ON_WM_CTLCOLOR()
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_SWITCH_CAMERA, OnCameraClicked)
    ON_BN_CLICKED(IDC_SWITCH_WIRELESS, OnWirelessClicked)
    ON_BN_CLICKED(IDC_SWITCH_BLUETOOTH, OnBluetoothClicked)
    ON_BN_CLICKED(IDC_SWITCH_3G, On3GClicked)
END_MESSAGE_MAP()

void CSwitchPage::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SWITCH_WIRELESS, m_btnWireless);
    DDX_Control(dx, IDC_SWITCH_3G, m_btn3G);
    DDX_Control(dx, IDC_SWITCH_CAMERA, m_btnCamera);
    DDX_Control(dx, IDC_SWITCH_BLUETOOTH, m_btnBluetooth);
}

BOOL CSwitchPage::OnInitDialog()
{
    CScaledDialog::OnInitDialog();

    m_brush.CreateSolidBrush(kSwitchPageKey);
    MakeTransparent();

    EcResult reach = ReadSwitchesNow();
    // The state just read goes back to the EC once per device, each time as the whole byte. A
    // byte that could not be read is never written.
    for (uint8_t bit = 0; bit < 4 && reach == EcResult::Done; ++bit) {
        const bool on = (g_deviceSwitches & (1u << bit)) != 0;
        reach = on ? SetDeviceSwitch(bit) : ClearDeviceSwitch(bit);
    }
    ShowReach(reach);
    return TRUE;
}

BOOL CSwitchPage::PreTranslateMessage(MSG* msg)
{
    return ClickFocusedButtonOnEnter(m_hWnd, *msg) || CDialog::PreTranslateMessage(msg);
}

void CSwitchPage::RefreshSwitches() { ShowReach(ReadSwitchesNow()); }

void CSwitchPage::OnScaleChanged()
{
    for (uint8_t bit = 0; bit < 4; ++bit)
        ShowLook(bit, m_looks[bit]);
    if (!m_colourKeyed)
        ClipToButtons();
}

void CSwitchPage::MakeTransparent()
{
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    m_colourKeyed = ApplyColourKey();
    if (m_colourKeyed)
        return;
    // A layered window that never got its attributes may not be drawn at all: be an ordinary
    // window again, cut down to the four buttons so the magenta covers nothing.
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    ClipToButtons();
}

bool CSwitchPage::ApplyColourKey()
{
    return SetLayeredWindowAttributesByName(m_hWnd, kSwitchPageKey, 0, LWA_COLORKEY);
}

void CSwitchPage::ClipToButtons()
{
    CRect page;
    GetWindowRect(&page);
    afx::unique_hrgn region(::CreateRectRgn(0, 0, 0, 0));
    if (!region)
        return;
    for (const SwitchInfo& info : kSwitches) {
        const CSkinButton& button = this->*info.button;
        if (button.m_hWnd == nullptr)
            continue;
        CRect rect;
        button.GetWindowRect(&rect);
        rect.OffsetRect(-page.left, -page.top);
        afx::unique_hrgn part(::CreateRectRgnIndirect(&rect));
        if (part)
            ::CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    // The system owns the region once it is set.
    if (::SetWindowRgn(m_hWnd, region.get(), TRUE))
        region.release();
}

HBRUSH CSwitchPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    CDialog::OnCtlColor(dc, wnd, ctlColor);
    return static_cast<HBRUSH>(m_brush.GetSafeHandle());
}

// The tablet's keys or another program may have changed the devices while the page was hidden.
void CSwitchPage::OnShowWindow(BOOL show, UINT status)
{
    CDialog::OnShowWindow(show, status);
    if (show)
        RefreshSwitches();
}

void CSwitchPage::OnCameraClicked() { Tap(kCameraBit); }
void CSwitchPage::OnWirelessClicked() { Tap(kWirelessBit); }
void CSwitchPage::OnBluetoothClicked() { Tap(kBluetoothBit); }
void CSwitchPage::On3GClicked() { Tap(k3GBit); }

// The user asks for the opposite of what the picture showed, whatever the EC holds by now (the
// tablet's own key may have changed it meanwhile): on for a device shown off, off for one shown
// on, set or cleared in a fresh read. A faded switch asks again for what it showed before it
// faded, so the tap after a failure tries the same change again; one that never showed a state
// has promised nothing, and its tap only reads. Without port access there is nothing to try
// until the next show asks for access again.
void CSwitchPage::Tap(uint8_t bit)
{
    if (m_reach == EcResult::NoPortAccess)
        return;
    if (!m_shownAny) {
        RefreshSwitches();
        return;
    }
    const bool shownOn = (m_shown & (1u << bit)) != 0;
    ShowReach(shownOn ? ClearDeviceSwitch(bit) : SetDeviceSwitch(bit));
}

void CSwitchPage::ShowReach(EcResult reach)
{
    m_reach = reach;
    if (reach == EcResult::Done) {
        m_shown = g_deviceSwitches;
        m_shownAny = true;
    }
    CString tip;
    if (reach != EcResult::Done)
        tip.LoadString(ReasonText(reach));
    for (uint8_t bit = 0; bit < 4; ++bit) {
        const bool on = (g_deviceSwitches & (1u << bit)) != 0;
        const Look look = reach != EcResult::Done ? Look::Unreachable : on ? Look::On : Look::Off;
        if (look != m_looks[bit])
            ShowLook(bit, look);
        (this->*kSwitches[bit].button).SetTipText(tip.IsEmpty() ? nullptr : tip.GetString());
    }
}

void CSwitchPage::ShowLook(uint8_t bit, Look look)
{
    const SwitchInfo& info = kSwitches[bit];
    CSkinButton& button = this->*info.button;
    m_looks[bit] = look;
    if (look == Look::None)
        return;
    if (look == Look::Unreachable)
        button.AssignImages(LoadFadedBitmap(info.offBitmap, kSwitchPageKey, button.m_crFace, kSwitchUnreachableFade,
                                            Scale()).release(),
                            kSwitchPageKey, nullptr, 0);
    else
        button.AssignImages(LoadScaledBitmap(look == Look::On ? info.onBitmap : info.offBitmap, Scale(), kSwitchPageKey)
                                .release(),
                            kSwitchPageKey, nullptr, 0);
    // A press moves the picture by a pixel of the 96-dpi layout.
    const int shift = afx::ScaleToDpi(1, Scale());
    button.m_ptPushShift = CPoint(shift, shift);
    button.SetFlatEdge(FALSE, TRUE);
}
