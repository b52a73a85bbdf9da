// The Task Manager page's resources and its button's click.
#include "TaskMgrPage.h"

#include "ModulePaths.h"

std::wstring TaskMgrProgram() { return afx::SystemFolder() + L"\\taskmgr.exe"; }

namespace {

const LauncherResources kTaskMgrPage{IDD_TASKMGR_PAGE, IDC_TASKMGR_LAUNCH, {IDB_TASKMGR_BK, IDR_2X_TASKMGR_BK},
                                     {IDR_PNG_TASKMGR, IDR_2X_TASKMGR}, &TaskMgrProgram};

} // namespace

CTaskMgrPage::CTaskMgrPage(CWnd* parent) : CLauncherPage(kTaskMgrPage, parent) {}

BEGIN_MESSAGE_MAP(CTaskMgrPage, CLauncherPage)
    ON_BN_CLICKED(IDC_TASKMGR_LAUNCH, OnLaunch)
END_MESSAGE_MAP()
