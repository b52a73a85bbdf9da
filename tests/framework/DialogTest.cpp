// Dialogs: the order of the creation messages, data exchange and subclassing, auto-centring, how
// modal and modeless dialogs end, and Enter that may only click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestIds.h"
#include "TestSupport.h"

namespace {

std::vector<std::string> g_events;

class COrderDialog : public CDialog {
public:
    explicit COrderDialog(UINT id = IDD_TEST_PLAIN) : CDialog(id) {}
    BOOL OnInitDialog() override
    {
        g_events.push_back("initdialog");
        return CDialog::OnInitDialog();
    }

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        g_events.push_back("create");
        return CDialog::OnCreate(cs);
    }
    void OnMove(int x, int y)
    {
        g_events.push_back("move");
        CDialog::OnMove(x, y);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COrderDialog, CDialog)
    ON_WM_CREATE()
    ON_WM_MOVE()
END_MESSAGE_MAP()

TEST(Dialog, HandlersSeeCreateThenMoveThenInitDialog)
{
    g_events.clear();
    COrderDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    ASSERT_GE(g_events.size(), 3u);
    EXPECT_EQ(g_events[0], "create");
    EXPECT_EQ(g_events[1], "move");
    EXPECT_EQ(g_events[2], "initdialog");
}

TEST(Dialog, CreationFailsCleanlyForAMissingTemplate)
{
    COrderDialog dialog(999);
    EXPECT_FALSE(dialog.Create(999));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.DoModal(), -1);
}

// A button whose PreSubclassWindow records whether the window procedure was still the control's.
class CSubclassProbe : public CButton {
public:
    bool procWasOriginalInPreSubclass = false;
    int preSubclassCalls = 0;
    void PreSubclassWindow() override
    {
        ++preSubclassCalls;
        procWasOriginalInPreSubclass =
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) != &AfxWndProc;
        CButton::PreSubclassWindow();
    }
};

class CBindingDialog : public CDialog {
public:
    CBindingDialog() : CDialog(IDD_TEST_PLAIN) {}
    CSubclassProbe m_btn;
    CSliderCtrl m_slider;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_BUTTON, m_btn);
        DDX_Control(dx, IDC_TEST_SLIDER, m_slider);
        DDX_Control(dx, 12345, m_missing);  // no such control: stays unbound
    }
    CWnd m_missing;
};

TEST(Dialog, DataExchangeSubclassesControlsOnceAfterPreSubclassWindow)
{
    CBindingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    ASSERT_NE(dialog.m_btn.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_btn.preSubclassCalls, 1);
    EXPECT_TRUE(dialog.m_btn.procWasOriginalInPreSubclass);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(dialog.m_btn.m_hWnd, GWLP_WNDPROC)), &AfxWndProc);

    // The control's own behaviour is reached through the subclass.
    dialog.m_btn.SetState(TRUE);
    EXPECT_TRUE(dialog.m_btn.GetState() & BST_PUSHED);
    dialog.m_slider.SetRange(1, 99);
    dialog.m_slider.SetPos(120);
    EXPECT_EQ(dialog.m_slider.GetPos(), 99);

    dialog.UpdateData(FALSE);  // a second exchange binds nothing again
    EXPECT_EQ(dialog.m_btn.preSubclassCalls, 1);
}

// Records the window's position right after initialisation, before the dialog is shown.
class CPlacementDialog : public CDialog {
public:
    using CDialog::CDialog;
    bool moveInInit = false;
    CRect placed;
    bool visibleAfterCreate = false;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (moveInInit)
            SetWindowPos(nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PostMessage(WM_APP);
        return TRUE;
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        GetWindowRect(&placed);
        visibleAfterCreate = IsWindowVisible() != FALSE;
        EndDialog(IDOK);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlacementDialog, CDialog)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

CRect WorkArea()
{
    CRect area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(Dialog, ModalDialogAtOriginIsCentredInTheWorkArea)
{
    CPlacementDialog dialog(IDD_TEST_PLAIN);
    ModalWatchdog watchdog(dialog);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const CRect area = WorkArea();
    EXPECT_NEAR((dialog.placed.left + dialog.placed.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((dialog.placed.top + dialog.placed.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST(Dialog, DialogsThatPlaceThemselvesAreNotCentred)
{
    const CRect area = WorkArea();
    const int centreX = (area.left + area.right) / 2;

    CPlacementDialog placedByTemplate(IDD_TEST_PLACED);
    {
        ModalWatchdog watchdog(placedByTemplate);
        placedByTemplate.DoModal();
    }
    EXPECT_LT(placedByTemplate.placed.right, centreX);

    CPlacementDialog movedDuringInit(IDD_TEST_PLAIN);
    movedDuringInit.moveInInit = true;
    {
        ModalWatchdog watchdog(movedDuringInit);
        movedDuringInit.DoModal();
    }
    EXPECT_EQ(movedDuringInit.placed.TopLeft(), CPoint(3, 4));
}

// A shown dialog and a modeless one it owns, as the panel owns its pages.
struct OwnedPage {
    COrderDialog owner{IDD_TEST_PLACED};
    COrderDialog page{IDD_TEST_PLAIN};
    bool Create()
    {
        if (!owner.Create(IDD_TEST_PLACED))
            return false;
        owner.ShowWindow(SW_SHOW);
        return page.Create(IDD_TEST_PLAIN, &owner) != FALSE;
    }
};

TEST(Dialog, ModelessDialogOwnedByAnEnabledWindowIsLeftWhereItIs)
{
    OwnedPage dialogs;
    ASSERT_TRUE(dialogs.Create());
    // A popup template's (0, 0) is the owner's client origin; no centring moved it from there.
    CRect rect;
    dialogs.page.GetWindowRect(&rect);
    CPoint ownerOrigin(0, 0);
    dialogs.owner.ClientToScreen(&ownerOrigin);
    EXPECT_EQ(rect.TopLeft(), ownerOrigin);
    EXPECT_EQ(::GetWindow(dialogs.page.m_hWnd, GW_OWNER), dialogs.owner.m_hWnd);
    EXPECT_FALSE(dialogs.page.GetStyle() & WS_CHILD);
}

TEST(Dialog, TemplateMarkedVisibleIsShownAfterCentring)
{
    CPlacementDialog dialog(IDD_TEST_VISIBLE);
    ModalWatchdog watchdog(dialog);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.visibleAfterCreate);
    const CRect area = WorkArea();
    EXPECT_NEAR((dialog.placed.left + dialog.placed.right) / 2, (area.left + area.right) / 2, 1);
}

// Scripted modal run: the posted messages play out in order inside DoModal.
class CScriptedDialog : public CDialog {
public:
    explicit CScriptedDialog(std::vector<MSG> script) : CDialog(IDD_TEST_PLAIN), m_script(std::move(script)) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (MSG msg : m_script)
            ::PostMessageW(msg.hwnd ? msg.hwnd : ::GetDlgItem(m_hWnd, IDC_TEST_BUTTON), msg.message, msg.wParam,
                           msg.lParam);
        return TRUE;
    }
    std::vector<MSG> m_script;
};

MSG Key(UINT vk) { return MSG{nullptr, WM_KEYDOWN, vk, 1, 0, {}}; }

TEST(Dialog, EscapeOnAControlOfTheModalDialogEndsItWithCancel)
{
    CScriptedDialog dialog({Key(VK_ESCAPE)});
    ModalWatchdog watchdog(dialog);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_hWnd, nullptr);  // the window is gone after the run
}

TEST(Dialog, CloseCommandEndsTheModalDialogWithCancel)
{
    // Posted during initialisation: the close request waits in the queue for the modal loop.
    class CCloser : public CScriptedDialog {
    public:
        CCloser() : CScriptedDialog({}) {}

    protected:
        BOOL OnInitDialog() override
        {
            CDialog::OnInitDialog();
            PostMessage(WM_SYSCOMMAND, SC_CLOSE);
            return TRUE;
        }
    } closer;
    ModalWatchdog closerWatchdog(closer);
    EXPECT_EQ(closer.DoModal(), IDCANCEL);
}

// A modeless dialog hidden by its cancel (Esc) is only hidden, not ended: given the focus again,
// it hands it on to a control (its first), as the panel's pages rely on at each show, rather
// than keeping it itself.
TEST(Dialog, AModelessDialogHiddenByCancelStillHandsTheFocusToItsControls)
{
    // Owned, as the pages are: hidden, it leaves the activation to its owner.
    OwnedPage dialogs;
    ASSERT_TRUE(dialogs.Create());
    COrderDialog& dialog = dialogs.page;
    dialog.ShowWindow(SW_SHOW);
    ::SetFocus(::GetDlgItem(dialog.m_hWnd, IDC_TEST_SLIDER));
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.ShowWindow(SW_SHOW);
    dialog.SetFocus();
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog.m_hWnd, IDC_TEST_BUTTON));
}

// Counts the clicks of its button and the IDOK commands it gets.
class CClickDialog : public CDialog {
public:
    CClickDialog() : CDialog(IDD_TEST_PLAIN) {}
    int clicks = 0;
    int oks = 0;

protected:
    void OnButton() { ++clicks; }
    void OnOK() override { ++oks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickDialog, CDialog)
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnButton)
END_MESSAGE_MAP()

TEST(Dialog, EnterThatMayOnlyClickClicksTheFocusedButtonOfTheDialogAndNothingElse)
{
    CClickDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    dialog.ShowWindow(SW_SHOW);
    const HWND button = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_BUTTON);
    const HWND slider = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_SLIDER);
    auto key = [](HWND to, WPARAM vk) { return MSG{to, WM_KEYDOWN, vk, 1, 0, {}}; };

    ::SetFocus(button);
    EXPECT_TRUE(ClickFocusedButtonOnEnter(dialog.m_hWnd, key(button, VK_RETURN)));
    EXPECT_EQ(dialog.clicks, 1);
    // On a control that is no button, Enter is taken and does nothing: no IDOK.
    ::SetFocus(slider);
    EXPECT_TRUE(ClickFocusedButtonOnEnter(dialog.m_hWnd, key(slider, VK_RETURN)));
    EXPECT_EQ(dialog.clicks, 1);
    EXPECT_EQ(dialog.oks, 0);
    // Other keys, and Enter meant for another window, are left to the standard handling.
    EXPECT_FALSE(ClickFocusedButtonOnEnter(dialog.m_hWnd, key(slider, VK_SPACE)));
    EXPECT_FALSE(ClickFocusedButtonOnEnter(dialog.m_hWnd, key(::GetDesktopWindow(), VK_RETURN)));
    EXPECT_EQ(dialog.clicks, 1);
}

TEST(Dialog, UnhandledCommandsReachTheApplicationsCommandMap)
{
    COrderDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    // ID_HELP is in the application's map only; 0x7777 is nowhere.
    EXPECT_TRUE(dialog.OnCmdMsg(ID_HELP, 0));
    EXPECT_FALSE(dialog.OnCmdMsg(0x7777, 0));
}

} // namespace

// One application object, as in the program, so commands can reach it.
static CWinApp g_testApp;
