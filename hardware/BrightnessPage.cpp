// The brightness page's shape, and its level read and set through PM.dll.
#include "BrightnessPage.h"

#include "SliderPositions.h"
#include "resource.h"

namespace {
constexpr SliderPageShape kBrightnessPage{IDD_BRIGHTNESS_PAGE, IDC_BRIGHTNESS_SLIDER, IDC_BRIGHTNESS_LABEL,
                                          {IDB_BRIGHTNESS_BK, IDR_2X_BRIGHTNESS_BK}, 0,
                                          static_cast<int>(closed_libraries::kMaxBrightnessLevel), 1};
} // namespace

CBrightnessPage::CBrightnessPage(CWnd* parent) : CBrightnessPage(parent, PowerManagement()) {}

CBrightnessPage::CBrightnessPage(CWnd* parent, const PowerLibrary& power)
    : CSliderPage(kBrightnessPage, parent), m_power(power)
{
}

std::optional<int> CBrightnessPage::ReadPosition()
{
    if (m_power.queryCurrentBrightnessLevel == nullptr)
        return std::nullopt;
    return BrightnessLevelToPosition(m_power.queryCurrentBrightnessLevel());
}

void CBrightnessPage::WritePosition(int position)
{
    if (m_power.setBrightnessLevel != nullptr)
        m_power.setBrightnessLevel(static_cast<unsigned int>(position));
}
