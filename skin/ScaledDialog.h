// CScaledDialog: a page laid out at the display scale its owner gives it rather than its own
// monitor's: its controls at the template's 96-dpi places times the scale, and what it draws
// loaded again for each new scale (OnScaleChanged). The owner scales all its pages together, so
// a page lets the system's notice of a DPI change for its own window pass.
#pragma once

#include "Afx.h"
#include "DisplayScale.h"

class CScaledDialog : public CDialog {
public:
    using CDialog::CDialog;

    // Dots per inch of the scale; 96 (100 %) until told otherwise. Before the window exists this
    // only takes note, so the page is made at that scale; afterwards the controls move, the page
    // loads its pictures for it and paints everything afresh.
    void SetScale(UINT dpi);
    UINT Scale() const { return m_dpi; }

protected:
    // Binds the controls (the base's OnInitDialog) and lays them out at the scale.
    BOOL OnInitDialog() override;
    // The controls are in place at the new scale; load what is drawn at it.
    virtual void OnScaleChanged() {}

    LRESULT OnDpiChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    UINT m_dpi = afx::kLayoutDpi;
};
