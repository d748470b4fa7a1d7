// The MFC GDI wrappers: ownership of handles and the FromHandle maps.
#include "platform/afx/CBitmap.h"
#include "platform/afx/CDC.h"
#include "platform/afx/CGdiObject.h"
#include "platform/user32.h"

#include <gtest/gtest.h>

namespace {

TEST(CGdiObject, DestructionDeletesTheHandleUnlessDetached) {
    HBITMAP kept = nullptr;
    HBITMAP deleted = nullptr;
    {
        CDC screen;
        ASSERT_TRUE(screen.CreateCompatibleDC(nullptr));
        CBitmap a, b;
        ASSERT_TRUE(a.CreateCompatibleBitmap(&screen, 2, 2));
        ASSERT_TRUE(b.CreateCompatibleBitmap(&screen, 2, 2));
        deleted = a;
        kept = static_cast<HBITMAP>(b.Detach());
        EXPECT_EQ(b.GetSafeHandle(), nullptr);
    }
    EXPECT_EQ(GetObjectType(deleted), 0u);
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteObject(kept));
}

TEST(CGdiObject, AttachAndDeleteObjectFollowMfc) {
    CGdiObject empty;
    EXPECT_FALSE(empty.DeleteObject());
    EXPECT_FALSE(empty.Attach(nullptr));
    HBRUSH first = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_TRUE(empty.Attach(first));
    EXPECT_FALSE(empty.Attach(second)); // would lose the first handle
    EXPECT_EQ(empty.GetSafeHandle(), first);
    EXPECT_EQ(CGdiObject::FromHandle(first), &empty);
    EXPECT_TRUE(empty.DeleteObject());
    EXPECT_EQ(empty.m_hObject, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u);
    DeleteObject(second);
}

TEST(CDC, SelectObjectReturnsThePreviousBitmapObject) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 3, 3));
    CBitmap* stock = dc.SelectObject(&bitmap);
    ASSERT_NE(stock, nullptr);
    BITMAP bm{};
    ASSERT_TRUE(stock->GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(dc.SelectObject(stock), &bitmap);
    EXPECT_EQ(CBitmap::FromHandle(static_cast<HBITMAP>(stock->m_hObject)), stock);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    // The stock bitmap outlives its wrapper.
    EXPECT_EQ(GetObjectType(GetCurrentObject(dc, OBJ_BITMAP)), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(CDC, TemporariesNeverDeleteTheirHandles) {
    HDC raw = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(raw, 1, 1);
    CDC* wrapper = CDC::FromHandle(raw);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper, CDC::FromHandle(raw));
    EXPECT_EQ(wrapper->GetSafeHdc(), raw);
    CBitmap* bitmap = CBitmap::FromHandle(bmp);
    ASSERT_NE(bitmap, nullptr);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
    DeleteDC(raw);
    DeleteObject(bmp);
}

TEST(CDC, BlitsThroughTheWrappers) {
    CDC src, dst;
    src.CreateCompatibleDC(nullptr);
    dst.CreateCompatibleDC(&src);
    // Compatible with the screen, for colour: a bare memory DC would give monochrome bitmaps.
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    CBitmap a, b;
    EXPECT_TRUE(a.CreateCompatibleBitmap(CDC::FromHandle(screen), 4, 4));
    EXPECT_TRUE(b.CreateCompatibleBitmap(CDC::FromHandle(screen), 4, 4));
    ReleaseDC(nullptr, screen);
    CBitmap* oldA = src.SelectObject(&a);
    CBitmap* oldB = dst.SelectObject(&b);
    RECT r{1, 1, 3, 3};
    src.FillSolidRect(&r, RGB(10, 20, 30));
    EXPECT_TRUE(dst.BitBlt(0, 0, 2, 2, &src, 1, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dst, 2, 2), RGB(0, 0, 0));
    EXPECT_TRUE(dst.StretchBlt(0, 0, 4, 4, &src, 1, 1, 2, 2, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 3, 3), RGB(10, 20, 30));
    src.SelectObject(oldA);
    dst.SelectObject(oldB);
    EXPECT_TRUE(dst.DeleteDC());
    EXPECT_FALSE(dst.DeleteDC());
}

} // namespace
