// The brightness page: a slider over the screen's eight brightness levels, read and set through
// PM.dll. It reads the level as it is shown and follows it every 100 ms while shown, and every
// move of the slider sets the level at once. The query has no failure result: only a level above
// 7 tells that it failed.
#pragma once

#include "SliderPage.h"
#include "TabletLibraries.h"

class CBrightnessPage : public CSliderPage {
public:
    explicit CBrightnessPage(CWnd* parent = nullptr);
    // A page on another binding of the power library, e.g. one without it.
    CBrightnessPage(CWnd* parent, const PowerLibrary& power);

protected:
    std::optional<int> ReadPosition() override;
    void WritePosition(int position) override;

private:
    PowerLibrary m_power;
};
