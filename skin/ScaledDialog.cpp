// Laying a page out at its owner's scale.
#include "ScaledDialog.h"

BEGIN_MESSAGE_MAP(CScaledDialog, CDialog)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

BOOL CScaledDialog::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    LayOutForDpi(m_dpi);
    return result;
}

void CScaledDialog::SetScale(UINT dpi)
{
    if (dpi == m_dpi || dpi == 0)
        return;
    m_dpi = dpi;
    if (m_hWnd == nullptr)
        return;
    LayOutForDpi(m_dpi);
    OnScaleChanged();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The dialog manager's own answer (Windows 10's per-monitor dialogs) would resize the page and lay
// it out by its font; the owner places and scales it instead.
LRESULT CScaledDialog::OnDpiChanged(WPARAM, LPARAM) { return 0; }
