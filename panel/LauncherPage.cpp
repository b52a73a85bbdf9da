// The launcher pages' shared behaviour: background, button picture and the launch click.
#include "LauncherPage.h"

#include "OffscreenDC.h"
#include "PanelMessages.h"
#include "PanelVisibility.h"
#include "ProgramStart.h"

CLauncherPage::CLauncherPage(const LauncherResources& resources, CWnd* parent)
    : CScaledDialog(resources.dialogId, parent), m_resources(resources)
{
}

CLauncherPage::~CLauncherPage() = default;

BEGIN_MESSAGE_MAP(CLauncherPage, CScaledDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CLauncherPage::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, static_cast<int>(m_resources.buttonId), m_btnLaunch);
}

BOOL CLauncherPage::OnInitDialog()
{
    CScaledDialog::OnInitDialog();
    m_hBkBitmap = LoadScaledBitmap(m_resources.background, Scale());
    m_btnLaunch.SetScale(Scale());
    m_btnLaunch.LoadImageResource(m_resources.picture, L"PNG");
    return TRUE;
}

void CLauncherPage::OnScaleChanged()
{
    m_hBkBitmap = LoadScaledBitmap(m_resources.background, Scale());
    m_btnLaunch.SetScale(Scale());
}

BOOL CLauncherPage::PreTranslateMessage(MSG* msg)
{
    return ClickFocusedButtonOnEnter(m_hWnd, *msg) || CDialog::PreTranslateMessage(msg);
}

BOOL CLauncherPage::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    return PaintPageBackground(dc, client, m_hBkBitmap.get(), [this] { return static_cast<BOOL>(Default()); });
}

void CLauncherPage::OnLaunch()
{
    // Every click starts the program again; whether it runs already is not asked, and a program
    // that cannot be started hides the panel all the same.
    StartProgramInBackground(m_resources.program(), SW_SHOW);
    // Only the panel knows the sibling pages: it hides them, itself and this page. A page without
    // a panel to answer still goes away.
    CWnd* panel = GetParent();
    if (panel == nullptr || panel->SendMessage(kLauncherStarted, reinterpret_cast<WPARAM>(m_hWnd)) == 0)
        HideFromLauncher(nullptr, PanelPages{}, *this);
}
