#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kOld[] = "old contents";

HANDLE Create(const std::string& path, DWORD access = GENERIC_WRITE,
              DWORD disposition = CREATE_ALWAYS, DWORD share = 0) {
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Windows would look on a real drive; here a drive letter names nothing.
TEST(File, DriveLetterPathsAreNotFound) {
    SetLastError(0);
    EXPECT_EQ(Create("C:\\Temp\\temp.s19"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// Refusals of our own where Windows' exact answer is not pinned down: a missing name, and
// truncating through a handle that may not write (Windows documents that it needs write access;
// Wine truncates regardless).
TEST(File, MissingNameAndTruncatingWithoutWriteAccessAreRefused) {
    SetLastError(0);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    TestFolder folder;
    const std::string path = folder / "f";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    SetLastError(0);
    EXPECT_EQ(Create(path, GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ReadWholeFile(path), kOld);
}

TEST(File, PlantedSymlinkIsNeitherFollowedNorWrittenThrough) {
    TestFolder folder;
    const std::string victim = folder / "victim";
    const std::string planted = folder / "temp.s19";
    ASSERT_TRUE(WriteWholeFile(victim, "precious"));
    ASSERT_TRUE(MakeSymlink(victim, planted));
    const std::string dangling = folder / "dangling.s19";
    ASSERT_TRUE(MakeSymlink(folder / "would-be-created", dangling));

    for (DWORD disposition : {CREATE_ALWAYS, CREATE_NEW}) {
        SCOPED_TRACE(disposition);
        for (const std::string& link : {planted, dangling}) {
            SetLastError(0);
            HANDLE h = Create(link, GENERIC_WRITE, disposition);
            EXPECT_EQ(h, INVALID_HANDLE_VALUE);
            EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
            if (h != INVALID_HANDLE_VALUE) {
                CloseHandle(h);
            }
        }
    }
    EXPECT_EQ(ReadWholeFile(victim), "precious");
    EXPECT_FALSE(Exists(folder / "would-be-created"));
    // Deleting the name removes the link only.
    EXPECT_TRUE(DeleteFileA(planted.c_str()));
    EXPECT_FALSE(Exists(planted));
    EXPECT_EQ(ReadWholeFile(victim), "precious");
}

TEST(File, PlantedFifoDoesNotHangTheOpen) {
    TestFolder folder;
    const std::string fifo = folder / "temp.s19";
    ASSERT_TRUE(MakeFifo(fifo));
    for (DWORD disposition : {CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS}) {
        SetLastError(0);
        EXPECT_EQ(Create(fifo, GENERIC_WRITE | GENERIC_READ, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
}

TEST(File, ReadOnlyFileRefusesWriters) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "permission bits do not bind root";
    }
    TestFolder folder;
    const std::string path = folder / "ro";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_TRUE(SetPermissionBits(path, 0444));
    SetLastError(0);
    EXPECT_EQ(Create(path, GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// Windows would fault on the missing count; here the call is refused instead.
TEST(File, WriteWithoutACountIsRefused) {
    TestFolder folder;
    const std::string path = folder / "f";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    HANDLE writer = Create(path, GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(writer, "zz", 2, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(ReadWholeFile(path), kOld);
}

TEST(File, HandlesOfOtherKindsAreNotFiles) {
    HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_NE(semaphore, nullptr);
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(semaphore, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(semaphore));
    EXPECT_FALSE(WriteFile(semaphore, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &n, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(File, DeviceNamesGoToTheDeviceLayer) {
    // No driver listens under this name, whatever the device layer looks like.
    for (const char* name : {"\\\\.\\nerith-kernel-test-absent", "//./NERITH-KERNEL-TEST-ABSENT"}) {
        SetLastError(0);
        EXPECT_EQ(
            CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

} // namespace
