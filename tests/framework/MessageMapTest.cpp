// Message maps: dispatch to typed handlers, chaining to base maps, Default(), binding from the
// first message and unbinding at WM_NCDESTROY.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

class CBaseProbe : public CWnd {
public:
    std::vector<std::string> log;

protected:
    void OnTimer(UINT_PTR id) { log.push_back("base-timer-" + std::to_string(id)); }
    LRESULT OnApp(WPARAM wParam, LPARAM) { log.push_back("base-app-" + std::to_string(wParam)); return 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_WM_TIMER()
    ON_MESSAGE(WM_APP, OnApp)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
public:
    int ncCreateSeenBound = -1;
    bool postNcDestroyCalled = false;

protected:
    void OnTimer(UINT_PTR id)
    {
        log.push_back("derived-timer-" + std::to_string(id));
        if (id == 2)
            CBaseProbe::OnTimer(id);
    }
    LRESULT OnNcCreate(WPARAM, LPARAM)
    {
        ncCreateSeenBound = CWnd::FromHandlePermanent(m_hWnd) == this;
        return Default();
    }
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        log.push_back("settext");
        return Default();
    }
    UINT OnGetDlgCode() { return static_cast<UINT>(Default()) | 0x4000; }
    void PostNcDestroy() override { postNcDestroyCalled = true; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_WM_TIMER()
    ON_MESSAGE(WM_NCCREATE, OnNcCreate)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

TEST(MessageMap, DerivedEntryWinsAndUnhandledMessagesReachTheBaseMap)
{
    CDerivedProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));

    probe.SendMessage(WM_TIMER, 1);
    probe.SendMessage(WM_TIMER, 2);
    EXPECT_EQ(probe.SendMessage(WM_APP, 5), 7);

    EXPECT_EQ(probe.log, (std::vector<std::string>{"derived-timer-1", "derived-timer-2", "base-timer-2", "base-app-5"}));
}

TEST(MessageMap, DefaultHandsTheCurrentMessageToThePreviousProcedure)
{
    CDerivedProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));

    probe.SetWindowText(L"through Default");
    CString text;
    probe.GetWindowText(text);
    EXPECT_EQ(text, L"through Default");
    EXPECT_EQ(probe.log.back(), "settext");
    // The static control's own answer survives, with the handler's bit added.
    const auto code = static_cast<UINT>(probe.SendMessage(WM_GETDLGCODE));
    EXPECT_EQ(code & 0x4000u, 0x4000u);
    EXPECT_EQ(code & DLGC_STATIC, static_cast<UINT>(DLGC_STATIC));
}

TEST(MessageMap, ObjectIsBoundFromTheFirstMessageAndUnboundAtNcDestroy)
{
    CDerivedProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(probe.ncCreateSeenBound, 1);

    HWND hwnd = probe.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &probe);
    probe.DestroyWindow();
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_TRUE(probe.postNcDestroyCalled);
}

TEST(MessageMap, DestroyingABoundObjectDestroysItsWindow)
{
    HWND hwnd = nullptr;
    {
        CDerivedProbe probe;
        ASSERT_TRUE(probe.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hwnd = probe.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(MessageMap, ForeignWindowsGetTemporaryWrappersThatAreSweptAway)
{
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);  // one wrapper per handle
    AfxSweepTempObjects();
    EXPECT_TRUE(::IsWindow(foreign));  // a temporary wrapper never destroys what it wraps
    ::DestroyWindow(foreign);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST(MessageMap, TheTopmostInsertAfterWindowCarriesItsHandle)
{
    EXPECT_EQ(CWnd::wndTopMost.m_hWnd, HWND_TOPMOST);
}

TEST(MessageMap, ResourceStringsKeepTheirWideCharacters)
{
    CString text;
    ASSERT_TRUE(text.LoadString(400));
    EXPECT_EQ(text, L"\u5173\u4e8e \u6d4b\u8bd5(&A)...");
    CString missing;
    EXPECT_FALSE(missing.LoadString(4321));
    EXPECT_TRUE(missing.IsEmpty());
}

} // namespace
