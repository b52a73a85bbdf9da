// The Task Manager page: one button that starts Task Manager.
#pragma once

#include "Afx.h"
#include "resource.h"

class CTaskMgrPage : public CDialog {
public:
    explicit CTaskMgrPage(CWnd* parent = nullptr) : CDialog(IDD_TASKMGR_PAGE, parent) {}
};
