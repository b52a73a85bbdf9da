// Which control gets which name.
#include "ControlNames.h"

#include "resource.h"

namespace {

void Name(CWnd* dialog, int controlId, UINT nameId)
{
    if (dialog == nullptr || dialog->m_hWnd == nullptr)
        return;
    CString name;
    name.LoadString(nameId);
    ::SetDlgItemTextW(dialog->m_hWnd, controlId, name);
}

} // namespace

void NameControls(CWnd& panel, const PanelPages& pages)
{
    Name(&panel, IDC_PANEL_CLOSE, IDS_NAME_CLOSE);
    Name(pages.switches, IDC_SWITCH_WIRELESS, IDS_NAME_WIRELESS);
    Name(pages.switches, IDC_SWITCH_3G, IDS_NAME_3G);
    Name(pages.switches, IDC_SWITCH_CAMERA, IDS_NAME_CAMERA);
    Name(pages.switches, IDC_SWITCH_BLUETOOTH, IDS_NAME_BLUETOOTH);
    // A trackbar is named by its label; its own text, which some readers take, says the same.
    Name(pages.volume, IDC_VOLUME_LABEL, IDS_NAME_VOLUME);
    Name(pages.volume, IDC_VOLUME_SLIDER, IDS_NAME_VOLUME);
    Name(pages.brightness, IDC_BRIGHTNESS_LABEL, IDS_NAME_BRIGHTNESS);
    Name(pages.brightness, IDC_BRIGHTNESS_SLIDER, IDS_NAME_BRIGHTNESS);
    Name(pages.keyboard, IDC_KEYBOARD_LAUNCH, IDS_NAME_KEYBOARD);
    Name(pages.taskMgr, IDC_TASKMGR_LAUNCH, IDS_NAME_TASKMGR);
}
