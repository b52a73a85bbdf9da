// The volume page's shape, and the master volume read and set through VolumeVista.
#include "VolumePage.h"

#include <limits>

#include "SliderPositions.h"
#include "resource.h"

float g_volumeScalar = 0.0f;

namespace {
// The page size stays the trackbar's own.
constexpr SliderPageShape kVolumePage{IDD_VOLUME_PAGE, IDC_VOLUME_SLIDER, IDC_VOLUME_LABEL, {IDB_VOLUME_BK, IDR_2X_VOLUME_BK}, 1, 99, 0};
} // namespace

CVolumePage::CVolumePage(CWnd* parent) : CVolumePage(parent, Common()) {}

CVolumePage::CVolumePage(CWnd* parent, const CommonLibrary& common, std::function<bool()> pollHeld)
    : CSliderPage(kVolumePage, parent, std::move(pollHeld)), m_common(common)
{
}

// The read goes into a cell of its own: a failed read, or one that stored nothing or nonsense,
// leaves g_volumeScalar as last read or set.
std::optional<int> CVolumePage::ReadPosition()
{
    if (m_common.volumeVista == nullptr)
        return std::nullopt;
    float scalar = std::numeric_limits<float>::quiet_NaN();
    if (m_common.volumeVista(closed_libraries::kVolumeRead, 0, &scalar) != S_OK)
        return std::nullopt;
    const std::optional<int> position = VolumeScalarToPosition(scalar);
    if (position)
        g_volumeScalar = scalar;
    return position;
}

// The scalar is kept as set even without the library to take it.
void CVolumePage::WritePosition(int position)
{
    g_volumeScalar = VolumePositionToScalar(position);
    if (m_common.volumeVista != nullptr)
        m_common.volumeVista(closed_libraries::kVolumeWrite, 0, &g_volumeScalar);
}
