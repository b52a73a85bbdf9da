// The volume page: set-up, the 100 ms poll held by the arrow keys, the slider's notifications,
// the background and the arrow keys.
#include "VolumePage.h"

#include "HotkeyState.h"
#include "OffscreenDC.h"
#include "PageBitmap.h"
#include "PageKeys.h"
#include "SliderPositions.h"

float g_volumeScalar = 0.0f;

namespace {
constexpr UINT_PTR kPollTimer = 0;
constexpr UINT kPollPeriodMs = 100;
constexpr int kLowestPosition = 1;
constexpr int kHighestPosition = 99;
} // namespace

CVolumePage::CVolumePage(CWnd* parent) : CVolumePage(parent, Common()) {}

CVolumePage::CVolumePage(CWnd* parent, const CommonLibrary& common)
    : CDialog(IDD_VOLUME_PAGE, parent), m_common(common)
{
}

CVolumePage::~CVolumePage() = default;

BEGIN_MESSAGE_MAP(CVolumePage, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
    ON_WM_TIMER()
END_MESSAGE_MAP()

void CVolumePage::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_VOLUME_SLIDER, m_slider);
}

BOOL CVolumePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBkBitmap = LoadPageBitmap(IDB_VOLUME_BK);

    // The page size stays the trackbar's own.
    m_slider.SetRange(kLowestPosition, kHighestPosition, FALSE);
    m_slider.SetTicFreq(1);
    // Without VolumeVista the slider stays where the trackbar put it.
    if (m_common.volumeVista != nullptr) {
        m_common.volumeVista(closed_libraries::kVolumeRead, 0, &g_volumeScalar);
        m_slider.SetPos(VolumeScalarToPosition(g_volumeScalar));
    }

    SetTimer(kPollTimer, kPollPeriodMs);
    return TRUE;
}

void CVolumePage::RestartPoll() { SetTimer(kPollTimer, kPollPeriodMs); }

// The volume is read on every tick, but while the hook reports an arrow key the slider holds
// still. TBM_SETPOS sends no notification, so following the volume never sets it.
void CVolumePage::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && m_common.volumeVista != nullptr) {
        m_common.volumeVista(closed_libraries::kVolumeRead, 0, &g_volumeScalar);
        if (g_upKeyDown != 0 || g_downKeyDown != 0)
            return;
        m_slider.FollowPos(VolumeScalarToPosition(g_volumeScalar));
    }
    CDialog::OnTimer(id);
}

// Every notification sets the volume, whatever its code and even when the position is unchanged.
void CVolumePage::OnHScroll(UINT code, UINT pos, CWnd* sender)
{
    const bool fromSlider =
        sender != nullptr && sender->m_hWnd != nullptr && sender->m_hWnd == ::GetDlgItem(m_hWnd, IDC_VOLUME_SLIDER);
    if (fromSlider) {
        g_volumeScalar = VolumePositionToScalar(m_slider.GetPos());
        if (m_common.volumeVista != nullptr)
            m_common.volumeVista(closed_libraries::kVolumeWrite, 0, &g_volumeScalar);
    }
    CDialog::OnHScroll(code, pos, sender);
}

BOOL CVolumePage::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    return PaintPageBackground(dc, client, m_hBkBitmap.get(), [this] { return static_cast<BOOL>(Default()); });
}

BOOL CVolumePage::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedArrow(*msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
