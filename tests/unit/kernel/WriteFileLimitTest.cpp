// A write that the disk or the file-size limit cuts short fails as Windows fails it, with a
// full disk, and never ends the process with SIGXFSZ.
#include "ChildRun.h"
#include "SmallFilesystem.h"
#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

HANDLE Create(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct LimitCase {
    const char* name;
    DWORD size;
    bool written;
};

TEST(WriteFile, AFileSizeLimitIsAFullDiskNotASignal) {
    constexpr DWORD kLimit = 1000;
    const LimitCase cases[] = {
        {"below the limit", 600, true},
        {"up to the limit", kLimit, true},
        {"past the limit", 5000, false},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const std::string path = folder / "temp.s19";
        std::string ending;
        const auto report = RunInChild(
            {0, kLimit},
            [&path, &c] {
                const std::string bytes(c.size, 'S');
                HANDLE h = Create(path);
                ChildReport report;
                report.handleValid =
                    WriteFile(h, bytes.data(), c.size, &report.count, nullptr) != FALSE;
                report.error = GetLastError();
                CloseHandle(h);
                return report;
            },
            &ending);
        ASSERT_TRUE(report) << "the writer " << ending;
        EXPECT_EQ(report->handleValid, c.written);
        EXPECT_EQ(report->count, std::min(c.size, kLimit));
        if (!c.written) {
            EXPECT_EQ(report->error, static_cast<DWORD>(ERROR_DISK_FULL));
        }
        EXPECT_EQ(ReadWholeFile(path).size(), std::min(c.size, kLimit));
    }
}

TEST(WriteFile, AFullFileSystemIsAFullDisk) {
    TestFolder folder;
    const SmallFilesystem small(folder / "small", 64);
    if (!small.Mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const std::string path = small.Path() + "/temp.s19";
    const std::string bytes(std::size_t{256} * 1024, 'S');
    HANDLE h = Create(path);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_LE(written, 64u * 1024);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

} // namespace
