// The brightness page: set-up, the 100 ms poll, the slider's notifications, the background and
// the arrow keys.
#include "BrightnessPage.h"

#include "OffscreenDC.h"
#include "PageBitmap.h"
#include "PageKeys.h"
#include "SliderPositions.h"

namespace {
constexpr UINT_PTR kPollTimer = 0;
constexpr UINT kPollPeriodMs = 100;
constexpr int kLowestLevel = 0;
constexpr int kHighestLevel = 7;
} // namespace

CBrightnessPage::CBrightnessPage(CWnd* parent) : CBrightnessPage(parent, PowerManagement()) {}

CBrightnessPage::CBrightnessPage(CWnd* parent, const PowerLibrary& power)
    : CDialog(IDD_BRIGHTNESS_PAGE, parent), m_power(power)
{
}

CBrightnessPage::~CBrightnessPage() = default;

BEGIN_MESSAGE_MAP(CBrightnessPage, CDialog)
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

void CBrightnessPage::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BRIGHTNESS_SLIDER, m_slider);
}

BOOL CBrightnessPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBkBitmap = LoadPageBitmap(IDB_BRIGHTNESS_BK);

    m_slider.SetRange(kLowestLevel, kHighestLevel, FALSE);
    m_slider.SetTicFreq(1);
    // Without the library the slider stays where the trackbar put it.
    if (m_power.queryCurrentBrightnessLevel != nullptr)
        m_slider.SetPos(BrightnessLevelToPosition(m_power.queryCurrentBrightnessLevel()));
    m_slider.SetPageSize(1);

    SetTimer(kPollTimer, kPollPeriodMs);
    return TRUE;
}

void CBrightnessPage::RestartPoll() { SetTimer(kPollTimer, kPollPeriodMs); }

// TBM_SETPOS sends no notification, so following the level never sets it.
void CBrightnessPage::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && m_power.queryCurrentBrightnessLevel != nullptr)
        m_slider.FollowPos(BrightnessLevelToPosition(m_power.queryCurrentBrightnessLevel()));
    CDialog::OnTimer(id);
}

// Every notification sets the level, whatever its code and even when the position is unchanged.
void CBrightnessPage::OnHScroll(UINT code, UINT pos, CWnd* sender)
{
    const bool fromSlider = sender != nullptr && sender->m_hWnd != nullptr &&
                            sender->m_hWnd == ::GetDlgItem(m_hWnd, IDC_BRIGHTNESS_SLIDER);
    if (fromSlider && m_power.setBrightnessLevel != nullptr)
        m_power.setBrightnessLevel(static_cast<unsigned int>(m_slider.GetPos()));
    CDialog::OnHScroll(code, pos, sender);
}

BOOL CBrightnessPage::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    return PaintPageBackground(dc, client, m_hBkBitmap.get(), [this] { return static_cast<BOOL>(Default()); });
}

BOOL CBrightnessPage::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedArrow(*msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
