// The volume page: a slider over the master volume.
#pragma once

#include "Afx.h"
#include "resource.h"

class CVolumePage : public CDialog {
public:
    explicit CVolumePage(CWnd* parent = nullptr) : CDialog(IDD_VOLUME_PAGE, parent) {}
};
