// CDialog: dialogs from templates in the resources, run modally with the framework's own message
// loop or created modeless, with data exchange and the standard dialog keyboard handling.
#pragma once

#include "DataExchange.h"
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

// Reads the style and position of an in-memory dialog template (plain or extended).
struct DialogTemplateInfo {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
};
DialogTemplateInfo ReadDialogTemplate(const DLGTEMPLATE* dialogTemplate);
// The template resource `id`, from the module that holds it; null if there is none.
const DLGTEMPLATE* LoadDialogTemplate(LPCWSTR name);
