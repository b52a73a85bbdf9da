// The on-screen keyboard page's resources and its button's click.
#include "KeyboardPage.h"

namespace {

std::wstring KeyboardProgram() { return kOnScreenKeyboardPath; }

const LauncherResources kKeyboardPage{IDD_KEYBOARD_PAGE, IDC_KEYBOARD_LAUNCH, {IDB_KEYBOARD_BK, IDR_2X_KEYBOARD_BK},
                                      {IDR_PNG_KEYBOARD, IDR_2X_KEYBOARD}, &KeyboardProgram};

} // namespace

CKeyboardPage::CKeyboardPage(CWnd* parent) : CLauncherPage(kKeyboardPage, parent) {}

BEGIN_MESSAGE_MAP(CKeyboardPage, CLauncherPage)
    ON_BN_CLICKED(IDC_KEYBOARD_LAUNCH, OnLaunch)
END_MESSAGE_MAP()
