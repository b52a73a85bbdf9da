// Dialog creation, the modal loop, auto-centring and the standard commands.
#include "Dialog.h"

#include "App.h"
#include "Controls.h"
#include "DisplayScale.h"

namespace {

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace

CDialog::CDialog(UINT idTemplate, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEW(idTemplate)), m_pParentWnd(parent)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
{
    if (dialogTemplate == nullptr || m_hWnd != nullptr)
        return FALSE;
    AfxEnsureCommonControls();

    const DialogTemplateInfo info = ReadDialogTemplate(dialogTemplate);
    m_templateAtOrigin = info.x == 0 && info.y == 0;
    m_templateCentres = (info.style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) != 0;
    if (parent != nullptr)
        m_pParentWnd = parent;

    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), dialogTemplate,
                                             m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CDialog::Create(UINT idTemplate, CWnd* parent)
{
    m_lpszTemplateName = MAKEINTRESOURCEW(idTemplate);
    return CreateIndirect(LoadDialogTemplate(m_lpszTemplateName), parent);
}

INT_PTR CDialog::DoModal()
{
    const DLGTEMPLATE* dialogTemplate = LoadDialogTemplate(m_lpszTemplateName);
    if (dialogTemplate == nullptr)
        return -1;

    // Without a parent, a modal dialog is owned by the main window, as users expect of a box
    // opened from it.
    if (m_pParentWnd == nullptr) {
        CWnd* main = AfxGetMainWnd();
        if (main != this && main != nullptr && main->m_hWnd != nullptr)
            m_pParentWnd = main;
    }
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    const bool reenableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (reenableOwner)
        ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_continueModal = true;
    if (CreateIndirect(dialogTemplate, m_pParentWnd) && m_continueModal)
        RunModalLoop();
    m_continueModal = false;

    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (reenableOwner) {
        ::EnableWindow(owner, TRUE);
        if (m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
    }
    DestroyWindow();
    return m_nModalResult;
}

int CDialog::RunModalLoop()
{
    // A dialog that its template did not make visible is shown once the queue first runs dry,
    // after everything its creation posted has been handled.
    bool showWhenIdle = m_hWnd != nullptr && !(GetStyle() & WS_VISIBLE);
    while (m_continueModal && m_hWnd != nullptr) {
        MSG msg;
        if (showWhenIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            showWhenIdle = false;
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            continue;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for the loop further out.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        AfxSweepTempObjects();
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    if (m_continueModal) {
        m_nModalResult = result;
        m_continueModal = false;
        if (m_hWnd != nullptr)
            ::EndDialog(m_hWnd, result);
        return;
    }
    // A modeless dialog is only hidden. The system's EndDialog would also mark it ended and move
    // the focus onto the dialog itself, so that the next time it is given the focus it would keep
    // it rather than hand it to the control that had it.
    if (m_hWnd != nullptr)
        ShowWindow(SW_HIDE);
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::LayOutForDpi(UINT dpi)
{
    if (m_hWnd == nullptr)
        return FALSE;
    const DialogTemplateInfo layout = ReadDialogTemplate(LoadDialogTemplate(m_lpszTemplateName));
    const CSize base = DialogBaseUnitsAt96(layout.face, layout.pointSize);
    if (base.cx == 0 || base.cy == 0)
        return FALSE;
    for (const DialogTemplateItem& item : layout.items) {
        // Controls without an id of their own (IDC_STATIC) cannot be told apart by it.
        if (static_cast<WORD>(item.id) == 0xFFFF)
            continue;
        HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(item.id));
        if (control == nullptr)
            continue;
        const CRect wanted = afx::ScaleToDpi(DialogUnitsToPixels(item.units, base), dpi);
        CRect now;
        ::GetWindowRect(control, &now);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        if (now != wanted)
            ::SetWindowPos(control, nullptr, wanted.left, wanted.top, wanted.Width(), wanted.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    CRect before;
    GetWindowRect(&before);
    const DWORD styleBefore = GetStyle();

    const BOOL result = OnInitDialog();
    if (m_hWnd != nullptr && ShouldAutoCenter(before, styleBefore))
        CenterWindow();
    return result;
}

// A dialog is centred when nothing else decides its place: it was hidden, its template asks for
// (0, 0) without a positioning style, it did not move during initialisation, and it has no owner
// or a disabled one (the owner of a modal dialog), so no modeless window is moved behind its
// owner's back.
bool CDialog::ShouldAutoCenter(const RECT& rectBefore, DWORD styleBefore) const
{
    if (styleBefore & WS_VISIBLE)
        return false;
    if (GetStyle() & (WS_VISIBLE | WS_CHILD))
        return false;
    CRect now;
    GetWindowRect(&now);
    if (now.left != rectBefore.left || now.top != rectBefore.top)
        return false;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowEnabled(owner))
        return false;
    return m_templateAtOrigin && !m_templateCentres;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (CWnd::PreTranslateMessage(msg))
        return TRUE;
    const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

bool ClickFocusedButtonOnEnter(HWND dialog, const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || (msg.hwnd != dialog && !::IsChild(dialog, msg.hwnd)))
        return false;
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::GetParent(focus) == dialog && ::IsWindowEnabled(focus) &&
        (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(focus), BN_CLICKED),
                       reinterpret_cast<LPARAM>(focus));
    return true;
}

BOOL CDialog::OnCmdMsg(UINT id, UINT code)
{
    if (CWnd::OnCmdMsg(id, code))
        return TRUE;
    // Commands no window handles get a last chance at the thread's object (the application).
    if (code != 0 || id >= 0xF000)
        return FALSE;
    CWinThread* thread = AfxGetThread();
    return thread != nullptr && thread->OnCmdMsg(id, code);
}
