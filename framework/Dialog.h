// CDialog: dialogs from templates in the resources, run modally with the framework's own message
// loop or created modeless, with data exchange and the standard dialog keyboard handling.
#pragma once

#include "DataExchange.h"
#include "DialogTemplate.h"
#include "Wnd.h"

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT idTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog with its owner disabled and runs its message loop until EndDialog; the
    // loop goes on while the dialog is hidden. The result of EndDialog, or -1 if it was not created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless, owned by `parent` (or the parent given at construction).
    virtual BOOL Create(UINT idTemplate, CWnd* parent = nullptr);
    BOOL CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // A modal dialog's loop ends with `result`; a modeless dialog is hidden.
    void EndDialog(int result);

    // Puts each control where the template's own layout at 96 dpi puts it, times `dpi` / 96: the
    // template's dialog units in the base units Windows gives its font at 96 dpi, not in those of
    // the font the dialog manager found (at another DPI it measures a larger one, and an ill-fitting
    // substitute font measures otherwise). Controls already in place are left alone. False, moving
    // nothing, when the template or its font's base units are unknown.
    BOOL LayOutForDpi(UINT dpi);

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, UINT code) override;

    LPCWSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

    LRESULT HandleInitDialog(WPARAM, LPARAM);
    int RunModalLoop();

private:
    bool ShouldAutoCenter(const RECT& rectBefore, DWORD styleBefore) const;

    bool m_continueModal = false;
    int m_nModalResult = -1;
    bool m_templateAtOrigin = false;  // the template asks for position (0, 0)
    bool m_templateCentres = false;   // the template has a style that places it itself
};

// For a dialog that Enter must never end or hide: Enter's key-down clicks the focused control when
// that is a button of the dialog's own, and does nothing otherwise. True when `msg` was such a
// key-down for the dialog or one of its controls; the caller then keeps it from the standard
// dialog handling, which would send IDOK.
bool ClickFocusedButtonOnEnter(HWND dialog, const MSG& msg);
