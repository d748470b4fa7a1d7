#include "TestFolder.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

TestFolder::TestFolder() {
    std::string pattern = std::filesystem::temp_directory_path() / "nerith-kernel-XXXXXX";
    if (::mkdtemp(pattern.data())) {
        path_ = pattern;
    }
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

bool MakeSymlink(const std::string& target, const std::string& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool MakeHardLink(const std::string& target, const std::string& link) {
    return ::link(target.c_str(), link.c_str()) == 0;
}

bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool RemoveFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool IsSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

int PermissionBits(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

bool SetPermissionBits(const std::string& path, int mode) {
    return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

int LinkCount(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_nlink) : -1;
}

long long OwnerOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_uid) : -1;
}

bool GiveTo(const std::string& path, unsigned uid, unsigned gid) {
    return ::lchown(path.c_str(), uid, gid) == 0;
}

// The kernel's binary form of an access list: a version word, then (tag, permissions, id)
// entries in tag order, with a mask once a named user is in.
bool GrantWriteByAccessList(const std::string& path, unsigned uid) {
    struct Entry {
        std::uint16_t tag;
        std::uint16_t permissions;
        std::uint32_t id;
    };
    constexpr std::uint32_t kVersion = 2;
    constexpr std::uint32_t kNoId = 0xFFFFFFFFu;
    const Entry entries[] = {
        {0x01, 7, kNoId}, // owner
        {0x02, 7, uid},   // the named user
        {0x04, 5, kNoId}, // owning group
        {0x10, 7, kNoId}, // mask
        {0x20, 5, kNoId}, // others
    };
    std::string value(reinterpret_cast<const char*>(&kVersion), sizeof kVersion);
    value.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return ::setxattr(path.c_str(), "system.posix_acl_access", value.data(), value.size(), 0) == 0;
}

ScopedUmask::ScopedUmask(int mask) : saved_(static_cast<int>(::umask(static_cast<mode_t>(mask)))) {}

ScopedUmask::~ScopedUmask() {
    ::umask(static_cast<mode_t>(saved_));
}
