// The message loop's pre-translation: a message is offered to its target window, then to each
// parent and owner, until one consumes it; dialogs apply the standard dialog keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestIds.h"
#include "TestSupport.h"

namespace {

std::vector<std::string> g_offers;
bool g_buttonGotY = false;

std::string Describe(const MSG* msg) { return std::to_string(msg->wParam); }

class CProbeButton : public CButton {
public:
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            g_offers.push_back("button:" + Describe(msg));
        return CButton::PreTranslateMessage(msg);
    }

protected:
    LRESULT OnKeyDown(WPARAM wParam, LPARAM)
    {
        if (wParam == 'Y')
            g_buttonGotY = true;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeButton, CButton)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
END_MESSAGE_MAP()

class CInnerDialog : public CDialog {
public:
    CInnerDialog() : CDialog(IDD_TEST_MODELESS) {}
    CProbeButton m_btn;
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN) {
            g_offers.push_back("modeless:" + Describe(msg));
            if (msg->wParam == 'X')
                return FALSE;  // passed on up without the dialog keys, so the owner is offered it
            if (msg->wParam == 'Y')
                return TRUE;  // consumed here
        }
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TEST_BUTTON, m_btn); }
};

class COuterDialog : public CDialog {
public:
    COuterDialog() : CDialog(IDD_TEST_PLAIN) {}
    CInnerDialog m_inner;
    bool innerVisibleAfterEscape = true;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            g_offers.push_back("modal:" + Describe(msg));
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_inner.Create(IDD_TEST_MODELESS, this);
        m_inner.ShowWindow(SW_SHOWNA);
        HWND innerButton = m_inner.m_btn.m_hWnd;
        ::PostMessageW(innerButton, WM_KEYDOWN, 'X', 1);
        ::PostMessageW(innerButton, WM_KEYDOWN, 'Y', 1);
        ::PostMessageW(innerButton, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessage(WM_APP);
        ::PostMessageW(::GetDlgItem(m_hWnd, IDC_TEST_BUTTON), WM_KEYDOWN, VK_ESCAPE, 1);
        return TRUE;
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        innerVisibleAfterEscape = m_inner.IsWindowVisible() != FALSE;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COuterDialog, CDialog)
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

TEST(PreTranslate, KeysWalkFromTheControlThroughItsDialogToTheOwnerUntilConsumed)
{
    g_offers.clear();
    g_buttonGotY = false;
    COuterDialog outer;
    ModalWatchdog watchdog(outer);
    const INT_PTR result = outer.DoModal();

    const std::string x = std::to_string('X');
    const std::string y = std::to_string('Y');
    const std::string esc = std::to_string(VK_ESCAPE);
    ASSERT_GE(g_offers.size(), 5u);
    // 'X': offered all the way up, nobody consumes it.
    EXPECT_EQ(g_offers[0], "button:" + x);
    EXPECT_EQ(g_offers[1], "modeless:" + x);
    EXPECT_EQ(g_offers[2], "modal:" + x);
    // 'Y': the modeless dialog consumes it; neither its owner nor the button's window procedure sees it.
    EXPECT_EQ(g_offers[3], "button:" + y);
    EXPECT_EQ(g_offers[4], "modeless:" + y);
    EXPECT_FALSE(g_buttonGotY);
    EXPECT_EQ(std::count(g_offers.begin(), g_offers.end(), "modal:" + y), 0);

    // Esc in the modeless dialog hides only it (the loop went on to the next message); Esc on the
    // modal dialog's control ends the run.
    EXPECT_FALSE(outer.innerVisibleAfterEscape);
    EXPECT_EQ(result, IDCANCEL);
}

} // namespace
