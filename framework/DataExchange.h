// Data exchange between a dialog and its member objects: binding controls to objects.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds dialog control `id` to `control` by subclassing it, once. A missing control leaves the
// object unbound.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
