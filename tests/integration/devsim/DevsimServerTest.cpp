// nerith-devsim as a driver others share a machine with: only its user reaches its folder and
// its sockets.
#include "DevsimProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using nerith::test::DevsimProcess;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFFu;
}

TEST(DevsimServer, FolderAndSocketsArePrivateWhateverTheUmask) {
    for (const mode_t umask : {mode_t{0}, mode_t{022}, mode_t{0777}}) {
        SCOPED_TRACE(umask);
        const mode_t previous = ::umask(umask);
        DevsimProcess devsim({}, DevsimProcess::FolderMadeBy::Simulator);
        ::umask(previous);
        ASSERT_TRUE(devsim.Running()) << devsim.Error();
        EXPECT_EQ(ModeOf(devsim.Folder()), 0700u);
        EXPECT_EQ(ModeOf(devsim.Folder() + "/korvel"), 0600u);
        EXPECT_EQ(ModeOf(devsim.Folder() + "/korvel.control"), 0600u);
    }
}

TEST(DevsimServer, FolderOthersMayWriteToIsRefused) {
    nerith::test::TempFolder root;
    const std::string folder = root.File("open");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    DevsimProcess devsim({"--dir=" + folder});
    EXPECT_FALSE(devsim.Running());
    struct stat st {};
    EXPECT_NE(::lstat((folder + "/korvel").c_str(), &st), 0) << "no socket in a folder others own";
}

} // namespace
