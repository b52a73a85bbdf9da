// GDI wrappers: owners free what they own, temporary wrappers free nothing, and selections are
// put back.
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
    HGDIOBJ penHandle = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        dcHandle = dc.m_hDC;
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 8, 8));
        bitmapHandle = bitmap.m_hObject;
        CBrush brush(RGB(255, 0, 255));
        brushHandle = brush.m_hObject;
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        penHandle = pen.m_hObject;
        EXPECT_EQ(::GetObjectType(dcHandle), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(::GetObjectType(dcHandle), 0u);
    EXPECT_EQ(::GetObjectType(bitmapHandle), 0u);
    EXPECT_EQ(::GetObjectType(brushHandle), 0u);
    EXPECT_EQ(::GetObjectType(penHandle), 0u);
}

TEST(Gdi, SelectObjectReturnsThePreviousBitmapAndTemporaryWrappersOwnNothing)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.m_hDC, OBJ_BITMAP);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 2, 1, 1, nullptr));

    CBitmap* previous = dc.SelectObject(&bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->m_hObject, original);
    dc.SelectObject(previous);
    EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_BITMAP), original);

    HDC borrowed = ::CreateCompatibleDC(nullptr);
    CDC* wrapper = CDC::FromHandle(borrowed);
    EXPECT_EQ(wrapper->m_hDC, borrowed);
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
        ASSERT_NE(dc.m_hDC, nullptr);
        EXPECT_EQ(::WindowFromDC(dc.m_hDC), wnd.m_hWnd);
    }
}

TEST(Gdi, OffsetWindowOriginMovesDrawingIntoTheBitmap)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    afx::unique_hbitmap bitmap(::CreateBitmap(10, 10, 1, 32, nullptr));
    afx::select_object_guard guard(dc.m_hDC, bitmap.get());
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
