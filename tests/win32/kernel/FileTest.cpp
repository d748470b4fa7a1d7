#include "ScratchFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>

namespace {

using win32test::Exists;
using win32test::MakeFolder;
using win32test::ReadWholeFile;
using win32test::ScratchFolder;
using win32test::WriteWholeFile;

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
    ScratchFolder folder;
    ASSERT_FALSE(folder.Path().empty());
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
    ScratchFolder folder;
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
    ScratchFolder folder;
    ASSERT_TRUE(MakeFolder(folder / "sub"));
    const std::string path = folder.Path() + "\\sub\\name.txt";
    HANDLE h = Create(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h, "abc", 3, &written, nullptr));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(ReadWholeFile(folder / "sub\\name.txt"), "abc");
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(Exists(path));
}

struct BadPathCase {
    const char* name;
    std::string path;
    DWORD error;
    DWORD createNewError; // an existing name collides before anything else is judged
};

TEST(File, BadPathsFailWithTheWindowsError) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder / "plain", "x"));
    const BadPathCase cases[] = {
        {"missing folder", folder / "no-such-folder\\temp.s19", ERROR_PATH_NOT_FOUND,
         ERROR_PATH_NOT_FOUND},
        {"missing folders", folder / "nope\\deeper\\temp.s19", ERROR_PATH_NOT_FOUND,
         ERROR_PATH_NOT_FOUND},
        {"file used as folder", folder / "plain\\temp.s19", ERROR_PATH_NOT_FOUND,
         ERROR_PATH_NOT_FOUND},
        {"empty name", "", ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
        {"MAX_PATH characters", folder / std::string(MAX_PATH, 'a'), ERROR_FILENAME_EXCED_RANGE,
         ERROR_FILENAME_EXCED_RANGE},
        {"a folder", folder.Path(), ERROR_ACCESS_DENIED, ERROR_FILE_EXISTS},
    };
    for (const BadPathCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (DWORD disposition : {CREATE_ALWAYS, CREATE_NEW, OPEN_ALWAYS}) {
            SetLastError(0);
            EXPECT_EQ(Create(c.path, GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), disposition == CREATE_NEW ? c.createNewError : c.error)
                << disposition;
        }
    }
    EXPECT_FALSE(Exists(folder / "no-such-folder"));
}

TEST(File, LongestAllowedNameStillWorks) {
    ScratchFolder folder;
    const std::size_t room = MAX_PATH - 1 - folder.Path().size() - 1;
    const std::string path = folder / std::string(room, 'n');
    ASSERT_EQ(path.size(), static_cast<std::size_t>(MAX_PATH - 1));
    HANDLE h = Create(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_TRUE(CloseHandle(h));
}

TEST(File, InvalidArgumentsAreRefused) {
    ScratchFolder folder;
    const std::string path = folder / "f";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    for (DWORD disposition : {0u, 6u}) {
        SetLastError(0);
        EXPECT_EQ(Create(path, GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << disposition;
    }
    EXPECT_EQ(ReadWholeFile(path), kOld);
}

TEST(File, TransfersNeedTheMatchingAccess) {
    ScratchFolder folder;
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
    n = 99;
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(ReadWholeFile(path), kOld);
}

TEST(File, ShareModesExcludeOtherHandlesUntilClosed) {
    ScratchFolder folder;
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
    EXPECT_TRUE(CloseHandle(exclusive));
    EXPECT_EQ(ReadWholeFile(path), kOld);

    HANDLE a = Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_DELETE);
    HANDLE b = Create(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_DELETE);
    EXPECT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_NE(b, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Create(path, GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE),
              INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
    EXPECT_FALSE(Exists(path));
}

TEST(File, DeleteAndAttributesReportMissingNames) {
    ScratchFolder folder;
    const std::string path = folder / "gone";
    const std::string deep = folder / "no-folder\\gone";
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(deep.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(folder.Path().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(deep.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(folder.Path().c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    // A file that has just been written is marked for backup.
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

// Each side sets its value while the other holds one, and reads it back before anything else
// runs on its thread: starting or joining a thread may itself set the caller's last error.
TEST(LastError, IsKeptPerThread) {
    std::atomic<int> step{0};
    const auto waitFor = [&step](int wanted) {
        while (step != wanted) {
            std::this_thread::yield();
        }
    };
    DWORD startedWith = 0xDEAD;
    DWORD keptThere = 0xDEAD;
    std::thread other([&] {
        startedWith = GetLastError();
        step = 1;
        waitFor(2);
        SetLastError(ERROR_FILE_EXISTS);
        step = 3;
        waitFor(4);
        keptThere = GetLastError();
    });
    waitFor(1);
    SetLastError(ERROR_ACCESS_DENIED);
    step = 2;
    waitFor(3);
    const DWORD seenHere = GetLastError();
    SetLastError(ERROR_SHARING_VIOLATION);
    step = 4;
    other.join();
    EXPECT_EQ(startedWith, 0u);
    EXPECT_EQ(seenHere, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(keptThere, static_cast<DWORD>(ERROR_FILE_EXISTS));
}

} // namespace
