// GDI wrappers: owners free what they own without touching the last error, temporary wrappers
// free nothing, and selections are put back.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

HBITMAP MakeBitmap() { return ::CreateBitmap(4, 4, 1, 32, nullptr); }

TEST(Gdi, UniqueHandleFreesOnResetAndDestructionButNotAfterRelease)
{
    HBITMAP first = MakeBitmap();
    HBITMAP second = MakeBitmap();
    HBITMAP kept = MakeBitmap();
    {
        afx::unique_hbitmap owner(first);
        owner.reset(second);
        EXPECT_EQ(::GetObjectType(first), 0u);
        EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));

        afx::unique_hbitmap moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(moved.get(), second);

        afx::unique_hbitmap released(kept);
        EXPECT_EQ(released.release(), kept);
    }
    EXPECT_EQ(::GetObjectType(second), 0u);
    EXPECT_EQ(::GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
    ::DeleteObject(kept);
}

// A close that fails, as CloseHandle on a handle gone stale would.
void CloseFailing(HANDLE) noexcept { ::SetLastError(ERROR_INVALID_HANDLE); }
using unique_failing_close = afx::unique_any<afx::handle_traits<HANDLE, CloseFailing>>;

TEST(Gdi, FreeingAHandleKeepsTheLastErrorOfTheFailureBeforeIt)
{
    const HANDLE some = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(4));
    {
        unique_failing_close owner(some);
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        owner.reset();
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        owner.reset(some);
        ::SetLastError(ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Gdi, SelectGuardPutsThePreviousObjectBack)
{
    afx::unique_hdc dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    afx::unique_hbitmap bitmap(MakeBitmap());
    {
        afx::select_object_guard guard(dc.get(), bitmap.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        EXPECT_EQ(guard.previous(), original);
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BITMAP), original);
}

TEST(Gdi, OwningWrappersDeleteTheirHandles)
{
    HDC dcHandle = nullptr;
    HGDIOBJ bitmapHandle = nullptr;
    HGDIOBJ brushHandle = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        dcHandle = dc.GetSafeHdc();
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 8, 8));
        bitmapHandle = bitmap.GetSafeHandle();
        CBrush brush(RGB(255, 0, 255));
        brushHandle = brush.GetSafeHandle();
        EXPECT_EQ(::GetObjectType(dcHandle), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(::GetObjectType(dcHandle), 0u);
    EXPECT_EQ(::GetObjectType(bitmapHandle), 0u);
    EXPECT_EQ(::GetObjectType(brushHandle), 0u);
}

TEST(Gdi, SelectObjectReturnsThePreviousBitmapAndTemporaryWrappersOwnNothing)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.GetSafeHdc(), OBJ_BITMAP);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 2, 1, 1, nullptr));

    CBitmap* previous = dc.SelectObject(&bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->GetSafeHandle(), original);
    dc.SelectObject(previous);
    EXPECT_EQ(::GetCurrentObject(dc.GetSafeHdc(), OBJ_BITMAP), original);

    HDC borrowed = ::CreateCompatibleDC(nullptr);
    CDC* wrapper = CDC::FromHandle(borrowed);
    EXPECT_EQ(wrapper->GetSafeHdc(), borrowed);
    AfxSweepTempObjects();
    EXPECT_EQ(::GetObjectType(borrowed), static_cast<DWORD>(OBJ_MEMDC));
    ::DeleteDC(borrowed);
}

TEST(Gdi, ClientDcDrawsOnTheWindowAndIsGivenBack)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    {
        CClientDC dc(&wnd);
        ASSERT_NE(dc.GetSafeHdc(), nullptr);
        EXPECT_EQ(::WindowFromDC(dc.GetSafeHdc()), wnd.m_hWnd);
    }
}

TEST(Gdi, OffsetWindowOriginMovesDrawingIntoTheBitmap)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    afx::unique_hbitmap bitmap(::CreateBitmap(10, 10, 1, 32, nullptr));
    afx::select_object_guard guard(dc.GetSafeHdc(), bitmap.get());
    dc.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));
    dc.SetWindowOrg(100, 200);
    dc.FillSolidRect(101, 202, 1, 1, RGB(255, 0, 0));
    dc.SetWindowOrg(0, 0);
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(255, 0, 0));
    dc.Draw3dRect(0, 0, 10, 10, RGB(0, 255, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(0, 5), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(9, 5), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(5, 9), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
}

} // namespace
