// Control binding for dialog data exchange.
#include "DataExchange.h"

#include "Wnd.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd != nullptr)
        return;
    HWND item = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (item != nullptr)
        control.SubclassWindow(item);
}
