#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>

namespace {

constexpr char kOld[] = "old contents";

struct DispositionCase {
    const char* name;
    DWORD disposition;
    bool existing;
    bool opens;
    DWORD error;
    const char* contentAfter; // nullptr: the file must not exist
};

const DispositionCase kDispositions[] = {
    {"CreateNewMissing", CREATE_NEW, false, true, ERROR_SUCCESS, ""},
    {"CreateNewExisting", CREATE_NEW, true, false, ERROR_FILE_EXISTS, kOld},
    {"CreateAlwaysMissing", CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
    {"CreateAlwaysExisting", CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
    {"OpenExistingMissing", OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
    {"OpenExistingExisting", OPEN_EXISTING, true, true, ERROR_SUCCESS, kOld},
    {"OpenAlwaysMissing", OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
    {"OpenAlwaysExisting", OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, kOld},
    {"TruncateExistingMissing", TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
    {"TruncateExistingExisting", TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
};

void PrintTo(const DispositionCase& c, std::ostream* os) {
    *os << c.name;
}

class Disposition : public testing::TestWithParam<DispositionCase> {};

TEST_P(Disposition, OpensCreatesOrTruncatesAsWindowsDoes) {
    const DispositionCase& c = GetParam();
    TestFolder folder;
    const std::string path = folder / "file.bin";
    if (c.existing) {
        ASSERT_TRUE(WriteWholeFile(path, kOld));
    }
    SetLastError(0xDEAD);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, c.disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
    EXPECT_EQ(error, static_cast<DWORD>(c.error));
    if (h != INVALID_HANDLE_VALUE) {
        EXPECT_TRUE(CloseHandle(h));
    }
    if (c.contentAfter) {
        EXPECT_EQ(ReadWholeFile(path), c.contentAfter);
    } else {
        EXPECT_FALSE(Exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(File, Disposition, testing::ValuesIn(kDispositions),
                         [](const auto& info) { return std::string(info.param.name); });

HANDLE Create(const std::string& path, DWORD access = GENERIC_WRITE,
              DWORD disposition = CREATE_ALWAYS, DWORD share = 0) {
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

TEST(File, WritesAndReadsBackEveryByte) {
    TestFolder folder;
    const std::string path = folder / "data.bin";
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    }
    HANDLE h = Create(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    ASSERT_TRUE(CloseHandle(h));

    h = Create(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string back(bytes.size() + 10, 'x');
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(h, back.data(), static_cast<DWORD>(back.size()), &read, nullptr));
    EXPECT_EQ(read, bytes.size());
    back.resize(read);
    EXPECT_EQ(back, bytes);
    // At end of file a read succeeds with nothing read.
    ASSERT_TRUE(ReadFile(h, back.data(), 10, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(File, BackslashesSeparateFolders) {
    TestFolder folder;
    ASSERT_TRUE(MakeFolder(folder / "sub"));
    std::string windowsPath = folder.Path() + "\\sub\\name.txt";
    HANDLE h = Create(windowsPath);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h, "abc", 3, &written, nullptr));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(ReadWholeFile(folder / "sub/name.txt"), "abc");
    EXPECT_TRUE(DeleteFileA(windowsPath.c_str()));
    EXPECT_FALSE(Exists(folder / "sub/name.txt"));
}

struct BadPathCase {
    const char* name;
    std::string path; // relative to the test folder unless absolute or empty
    DWORD error;
};

TEST(File, BadPathsFailWithTheWindowsError) {
    TestFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder / "plain", "x"));
    const BadPathCase cases[] = {
        {"missing folder", folder / "no-such-folder/temp.s19", ERROR_PATH_NOT_FOUND},
        {"missing folder, backslashes", folder.Path() + "\\nope\\temp.s19", ERROR_PATH_NOT_FOUND},
        {"file used as folder", folder / "plain/temp.s19", ERROR_PATH_NOT_FOUND},
        {"empty name", "", ERROR_PATH_NOT_FOUND},
        {"drive letter", "C:\\Temp\\temp.s19", ERROR_PATH_NOT_FOUND},
        {"MAX_PATH characters", folder / std::string(MAX_PATH, 'a'), ERROR_FILENAME_EXCED_RANGE},
        {"a folder", folder.Path(), ERROR_ACCESS_DENIED},
    };
    for (const BadPathCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(Create(c.path), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    SetLastError(0);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(File, LongestAllowedNameStillWorks) {
    TestFolder folder;
    const std::size_t room = MAX_PATH - 1 - folder.Path().size() - 1;
    const std::string path = folder / std::string(room, 'n');
    ASSERT_EQ(path.size(), static_cast<std::size_t>(MAX_PATH - 1));
    HANDLE h = Create(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_TRUE(CloseHandle(h));
}

TEST(File, InvalidArgumentsAreRefused) {
    TestFolder folder;
    const std::string path = folder / "f";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    SetLastError(0);
    EXPECT_EQ(Create(path, GENERIC_WRITE, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(Create(path, GENERIC_WRITE, 6), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Truncating needs write access.
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

TEST(File, TransfersNeedTheMatchingAccess) {
    TestFolder folder;
    const std::string path = folder / "f";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    char buffer[4];
    DWORD n = 99;
    HANDLE reader = Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(reader, "zz", 2, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(CloseHandle(reader));

    HANDLE writer = Create(path, GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(WriteFile(writer, "zz", 2, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(ReadWholeFile(path), kOld);
}

TEST(File, ShareModesExcludeOtherHandlesUntilClosed) {
    TestFolder folder;
    const std::string path = folder / "shared";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    HANDLE exclusive = Create(path, GENERIC_WRITE, OPEN_EXISTING, 0);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    SetLastError(0);
    EXPECT_EQ(Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // A refused CREATE_ALWAYS must not have truncated the file behind the holder's back.
    EXPECT_EQ(Create(path, GENERIC_WRITE, CREATE_ALWAYS, FILE_SHARE_READ | FILE_SHARE_WRITE),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_TRUE(CloseHandle(exclusive));

    HANDLE a = Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_DELETE);
    HANDLE b = Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_DELETE);
    EXPECT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_NE(b, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Create(path, GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE),
              INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
}

TEST(File, DeleteAndAttributesReportMissingNames) {
    TestFolder folder;
    const std::string path = folder / "gone";
    const std::string deep = folder / "no-folder/gone";
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(deep.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(folder.Path().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(folder.Path().c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
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

TEST(LastError, IsKeptPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenThere = 0;
    std::thread other([&] {
        seenThere = GetLastError();
        SetLastError(ERROR_FILE_EXISTS);
    });
    other.join();
    EXPECT_EQ(seenThere, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

} // namespace
