// The volume page: a slider from 1 to 99 over the master volume, read and set through common.dll's
// VolumeVista. It reads the volume as it is shown and follows it every 100 ms while shown, except
// while the poll is held (the panel holds it while the keyboard hook reports an arrow key); every
// move of the slider sets the volume at once. A read counts only when VolumeVista answers S_OK
// with a scalar from 0.0 to 1.0.
#pragma once

#include "SliderPage.h"
#include "TabletLibraries.h"

// The exchange cell for VolumeVista: the scalar last read or last set, 0.0 (silence) to 1.0.
extern float g_volumeScalar;

class CVolumePage : public CSliderPage {
public:
    explicit CVolumePage(CWnd* parent = nullptr);
    // A page on another binding of common.dll (e.g. one without VolumeVista), whose poll moves
    // the slider only while `pollHeld` (when given) answers false.
    CVolumePage(CWnd* parent, const CommonLibrary& common, std::function<bool()> pollHeld = {});

protected:
    std::optional<int> ReadPosition() override;
    void WritePosition(int position) override;

private:
    CommonLibrary m_common;
};
