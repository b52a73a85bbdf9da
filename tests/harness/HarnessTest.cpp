// Checks that test executables run under Wine with a window system behind them.
#include <windows.h>
#include <gtest/gtest.h>

TEST(Harness, HasADesktopWithAScreen)
{
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_NE(GetDesktopWindow(), nullptr);
}

TEST(Harness, CanCreateAndShowATopLevelWindow)
{
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 10, 10, 50, 40,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 50);
    DestroyWindow(hwnd);
}
