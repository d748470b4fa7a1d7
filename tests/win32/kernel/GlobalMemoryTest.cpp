#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool AllZero(const void* p, SIZE_T n) {
    const auto* b = static_cast<const unsigned char*>(p);
    return std::all_of(b, b + n, [](unsigned char c) { return c == 0; });
}

TEST(GlobalMemory, MoveableBlockCountsItsLocks) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 100u);
    void* first = GlobalLock(h);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, h);
    EXPECT_TRUE(AllZero(first, 100));
    EXPECT_EQ(GlobalLock(h), first);

    SetLastError(0xBEEF);
    EXPECT_TRUE(GlobalUnlock(h)); // still locked once
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, LockedMoveableBlockDoesNotMoveOnReAlloc) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(h, nullptr);
    auto* data = static_cast<char*>(GlobalLock(h));
    ASSERT_NE(data, nullptr);
    std::memcpy(data, "keep me", 8);

    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 64u);
    EXPECT_STREQ(data, "keep me");

    // Shrinking and growing back within the block works in place, new bytes zeroed.
    EXPECT_EQ(GlobalReAlloc(h, 16, 0), h);
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(GlobalReAlloc(h, 64, GMEM_ZEROINIT), h);
    EXPECT_TRUE(AllZero(data + 16, 48));
    EXPECT_STREQ(data, "keep me");
    EXPECT_FALSE(GlobalUnlock(h));

    // Unlocked, it may move, and keeps handle and contents.
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), static_cast<SIZE_T>(1 << 20));
    auto* moved = static_cast<char*>(GlobalLock(h));
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(moved, "keep me");
    EXPECT_TRUE(AllZero(moved + 64, (1 << 20) - 64));
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, FixedBlockIsItsOwnAddress) {
    HGLOBAL h = GlobalAlloc(GPTR, 32);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_TRUE(AllZero(h, 32));
    std::memcpy(h, "fixed", 6);
    // Growing a fixed block in place is not possible here; without GMEM_MOVEABLE it fails.
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalSize(h), 32u);
    HGLOBAL grown = GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE);
    ASSERT_NE(grown, nullptr);
    EXPECT_STREQ(static_cast<char*>(grown), "fixed");
    if (grown != h) {
        EXPECT_EQ(GlobalSize(h), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(GlobalFree(grown), nullptr);
}

TEST(GlobalMemory, BadHandlesAndSizesFail) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFree(h), nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalFree(h), h);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalReAlloc(h, 16, 0), nullptr);
    int local = 0;
    EXPECT_EQ(GlobalLock(&local), nullptr);

    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(-1)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

    // A moveable block of no bytes exists but cannot be locked, as on Windows.
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISCARDED));
    EXPECT_EQ(GlobalReAlloc(empty, 10, GMEM_ZEROINIT), empty);
    EXPECT_NE(GlobalLock(empty), nullptr);
    GlobalUnlock(empty);
    EXPECT_EQ(GlobalFree(empty), nullptr);
}

} // namespace
