// The slider pages' shared behaviour: set-up, the read at each show and the 100 ms poll while
// shown, the slider's notifications, the background and the arrow keys.
#include "SliderPage.h"

#include "OffscreenDC.h"
#include "PageKeys.h"

namespace {
constexpr UINT_PTR kPollTimer = 0;
constexpr UINT kPollPeriodMs = 100;
} // namespace

CSliderPage::CSliderPage(const SliderPageShape& shape, CWnd* parent, std::function<bool()> pollHeld)
    : CScaledDialog(shape.dialogId, parent), m_shape(shape), m_pollHeld(std::move(pollHeld))
{
}

CSliderPage::~CSliderPage() = default;

BEGIN_MESSAGE_MAP(CSliderPage, CScaledDialog)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

void CSliderPage::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, static_cast<int>(m_shape.sliderId), m_slider);
    DDX_Control(dx, static_cast<int>(m_shape.labelId), m_label);
}

BOOL CSliderPage::OnInitDialog()
{
    CScaledDialog::OnInitDialog();
    m_hBkBitmap = LoadScaledBitmap(m_shape.background, Scale());
    m_slider.SetScale(Scale());

    m_slider.SetRange(m_shape.lowest, m_shape.highest, FALSE);
    m_slider.SetTicFreq(1);
    // Without a good read the slider stays where the trackbar put it, looking unsure of it.
    if (const std::optional<int> position = ReadPosition())
        ShowRead(*position);
    else
        m_slider.ShowKnown(false);
    if (m_shape.pageSize != 0)
        m_slider.SetPageSize(m_shape.pageSize);
    // The poll starts when the page is shown.
    return TRUE;
}

void CSliderPage::OnScaleChanged()
{
    m_hBkBitmap = LoadScaledBitmap(m_shape.background, Scale());
    m_slider.SetScale(Scale());
}

// Every show and hide goes through the window's position change, whoever asks for it (ShowWindow,
// SetWindowPos, the dialog's cancel; WM_SHOWWINDOW misses the last two). The read comes while the
// page is about to be shown, so the slider shows what the hardware holds in the page's first
// frame; neither hold of the poll applies to it (a read that fails leaves the slider as it was). A page hidden, with the panel or alone (Esc),
// calls nothing more.
LRESULT CSliderPage::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    const auto* change = reinterpret_cast<const WINDOWPOS*>(lParam);
    if ((change->flags & SWP_SHOWWINDOW) != 0 && !IsWindowVisible()) {
        if (const std::optional<int> position = ReadPosition())
            ShowRead(*position);
        SetTimer(kPollTimer, kPollPeriodMs);
    }
    return Default();
}

LRESULT CSliderPage::OnWindowPosChanged(WPARAM, LPARAM lParam)
{
    if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) != 0)
        KillTimer(kPollTimer);
    return Default();
}

// The hardware is read on every tick; while the poll is held the slider stays and the tick ends
// there. TBM_SETPOS sends no notification, so following the hardware never writes it.
void CSliderPage::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer) {
        const std::optional<int> position = ReadPosition();
        if (position && m_pollHeld && m_pollHeld())
            return;
        if (position && !HeldByUser())
            ShowRead(*position);
    }
    CDialog::OnTimer(id);
}

void CSliderPage::ShowRead(int position)
{
    m_slider.FollowPos(position);
    m_slider.ShowKnown(true);
}

// The thumb held by the mouse (the trackbar captures it for a drag and for a press on the
// channel), or moved within the hold time.
bool CSliderPage::HeldByUser() const
{
    if (m_slider.m_hWnd != nullptr && ::GetCapture() == m_slider.m_hWnd)
        return true;
    return m_lastUserMove != 0 && ::GetTickCount64() - m_lastUserMove < kUserMoveHoldMs;
}

// Every notification writes, whatever its code and even when the position is unchanged.
void CSliderPage::OnHScroll(UINT code, UINT pos, CWnd* sender)
{
    const bool fromSlider = sender != nullptr && sender->m_hWnd != nullptr &&
                            sender->m_hWnd == ::GetDlgItem(m_hWnd, static_cast<int>(m_shape.sliderId));
    if (fromSlider) {
        m_lastUserMove = ::GetTickCount64();
        WritePosition(m_slider.GetPos());
    }
    CDialog::OnHScroll(code, pos, sender);
}

BOOL CSliderPage::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    return PaintPageBackground(dc, client, m_hBkBitmap.get(), [this] { return static_cast<BOOL>(Default()); });
}

BOOL CSliderPage::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedArrow(*msg) || ClickFocusedButtonOnEnter(m_hWnd, *msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
