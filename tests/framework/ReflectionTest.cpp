// Reflection: each kind of notification reaches the control that sent it first; the parent sees
// it only when the control has no reflected entry or declines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestIds.h"
#include "TestSupport.h"

namespace {

std::vector<std::string> g_seen;

class CReflectButton : public CButton {
public:
    BOOL clickAnswer = TRUE;          // FALSE lets the parent see the click too
    HBRUSH colourAnswer = nullptr;    // null lets the parent answer the colour request
    int drawItemCalls = 0;

    void DrawItem(LPDRAWITEMSTRUCT) override
    {
        ++drawItemCalls;
        g_seen.push_back("child-drawitem");
    }

protected:
    BOOL OnClicked()
    {
        g_seen.push_back("child-clicked");
        return clickAnswer;
    }
    HBRUSH CtlColor(CDC*, UINT type)
    {
        g_seen.push_back("child-ctlcolor-" + std::to_string(type));
        return colourAnswer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CPlainReflectButton : public CButton {
protected:
    void OnClicked() { g_seen.push_back("plain-child-clicked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlainReflectButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CReflectSlider : public CSliderCtrl {
public:
    bool takeScroll = true;

protected:
    void OnCustomDraw(NMHDR*, LRESULT* result)
    {
        g_seen.push_back("child-customdraw");
        *result = CDRF_DODEFAULT;
    }
    void HScroll(UINT, UINT) { g_seen.push_back("child-hscroll"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectSlider, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_HSCROLL_REFLECT()
END_MESSAGE_MAP()

class CParentDialog : public CDialog {
public:
    CParentDialog() : CDialog(IDD_TEST_PLAIN) {}
    CWnd* scrollSender = nullptr;

protected:
    void OnButton() { g_seen.push_back("parent-clicked"); }
    void OnSliderDraw(NMHDR*, LRESULT*) { g_seen.push_back("parent-customdraw"); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT type)
    {
        g_seen.push_back("parent-ctlcolor-" + std::to_string(type));
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    }
    void OnHScroll(UINT, UINT, CWnd* sender)
    {
        scrollSender = sender;
        g_seen.push_back("parent-hscroll");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentDialog, CDialog)
    ON_BN_CLICKED(IDC_TEST_BUTTON, OnButton)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_TEST_SLIDER, OnSliderDraw)
    ON_WM_CTLCOLOR()
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

// The same parent with controls that reflect (eager) or mostly do not (plain).
template <class Button, class Slider>
class CParentWith : public CParentDialog {
public:
    Button m_btn;
    Slider m_slider;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, IDC_TEST_BUTTON, m_btn);
        DDX_Control(dx, IDC_TEST_SLIDER, m_slider);
    }
};

using CEagerParent = CParentWith<CReflectButton, CReflectSlider>;
using CPlainParent = CParentWith<CPlainReflectButton, CSliderCtrl>;

bool Contains(const std::string& item) { return std::find(g_seen.begin(), g_seen.end(), item) != g_seen.end(); }

TEST(Reflection, ClickGoesToTheButtonFirstAndToTheParentOnlyWhenDeclined)
{
    CEagerParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));

    g_seen.clear();
    dialog.m_btn.clickAnswer = TRUE;
    dialog.m_btn.SendMessage(BM_CLICK);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"child-clicked"}));

    g_seen.clear();
    dialog.m_btn.clickAnswer = FALSE;
    dialog.m_btn.SendMessage(BM_CLICK);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"child-clicked", "parent-clicked"}));
}

TEST(Reflection, PlainReflectedHandlerKeepsTheClickFromTheParent)
{
    CPlainParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    g_seen.clear();
    dialog.m_btn.SendMessage(BM_CLICK);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"plain-child-clicked"}));
}

TEST(Reflection, ColourRequestGoesToTheParentWhenTheControlAnswersNoBrush)
{
    CEagerParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    HDC dc = ::GetDC(dialog.m_hWnd);

    g_seen.clear();
    dialog.m_btn.colourAnswer = nullptr;
    auto brush = dialog.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog.m_btn.m_hWnd));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"child-ctlcolor-3", "parent-ctlcolor-3"}));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(WHITE_BRUSH));

    g_seen.clear();
    dialog.m_btn.colourAnswer = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    brush = dialog.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog.m_btn.m_hWnd));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"child-ctlcolor-3"}));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));

    // The dialog's own background request is not a control's: only the dialog answers it.
    g_seen.clear();
    dialog.SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"parent-ctlcolor-4"}));
    ::ReleaseDC(dialog.m_hWnd, dc);
}

TEST(Reflection, CustomDrawNotificationsOfARealPaintGoToTheSlider)
{
    CEagerParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    dialog.ShowWindow(SW_SHOWNA);
    g_seen.clear();
    dialog.m_slider.Invalidate();
    dialog.m_slider.UpdateWindow();
    EXPECT_TRUE(Contains("child-customdraw"));
    EXPECT_FALSE(Contains("parent-customdraw"));

    // Without a reflected entry the parent's own entry gets them.
    CPlainParent plain;
    ASSERT_TRUE(plain.Create(IDD_TEST_PLAIN));
    plain.ShowWindow(SW_SHOWNA);
    g_seen.clear();
    plain.m_slider.Invalidate();
    plain.m_slider.UpdateWindow();
    EXPECT_TRUE(Contains("parent-customdraw"));
}

TEST(Reflection, ScrollNotificationsAreMatchedByTheSendingControl)
{
    CEagerParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    g_seen.clear();
    dialog.SendMessage(WM_HSCROLL, SB_THUMBTRACK, reinterpret_cast<LPARAM>(dialog.m_slider.m_hWnd));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"child-hscroll"}));

    CPlainParent plain;
    ASSERT_TRUE(plain.Create(IDD_TEST_PLAIN));
    g_seen.clear();
    plain.SendMessage(WM_HSCROLL, SB_THUMBTRACK, reinterpret_cast<LPARAM>(plain.m_slider.m_hWnd));
    EXPECT_EQ(g_seen, (std::vector<std::string>{"parent-hscroll"}));
    EXPECT_EQ(plain.scrollSender, &plain.m_slider);
}

TEST(Reflection, OwnerDrawnButtonPaintsThroughItsDrawItem)
{
    CEagerParent dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    dialog.m_btn.ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    dialog.ShowWindow(SW_SHOWNA);
    g_seen.clear();
    dialog.m_btn.Invalidate();
    dialog.m_btn.UpdateWindow();
    EXPECT_GE(dialog.m_btn.drawItemCalls, 1);

    // WM_PRINTCLIENT paints through the same DrawItem, into any DC.
    const int before = dialog.m_btn.drawItemCalls;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 80, 40);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    dialog.m_btn.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    EXPECT_EQ(dialog.m_btn.drawItemCalls, before + 1);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

} // namespace
