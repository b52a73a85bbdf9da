// The Task Manager page: one button, labelled with Ctrl+Alt+Del, that starts Task Manager.
#pragma once

#include "LauncherPage.h"
#include "resource.h"

// The system's own Task Manager: taskmgr.exe in the system folder.
std::wstring TaskMgrProgram();

class CTaskMgrPage : public CLauncherPage {
public:
    explicit CTaskMgrPage(CWnd* parent = nullptr);

protected:
    DECLARE_MESSAGE_MAP()
};
