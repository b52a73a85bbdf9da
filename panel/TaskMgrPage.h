// The Task Manager page: one button, labelled with Ctrl+Alt+Del, that starts Task Manager.
#pragma once

#include "LauncherPage.h"
#include "resource.h"

inline constexpr char kTaskMgrCommandLine[] = "C:\\windows\\system32\\taskmgr.exe";

class CTaskMgrPage : public CLauncherPage {
public:
    explicit CTaskMgrPage(CWnd* parent = nullptr);

protected:
    DECLARE_MESSAGE_MAP()
};
