#include "kernel/FolderTrust.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace platform::kernel {

namespace {

constexpr std::size_t kDatabaseBuffer = 16384;

// An access list can give other users write access that the group bits only hint at.
bool HasAccessList(int folder) {
    const std::string path = "/proc/self/fd/" + std::to_string(folder);
    if (::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0) {
        return true;
    }
    return errno != ENODATA && errno != ENOTSUP;
}

bool OnlyMember(char** members, const char* user) {
    for (char** member = members; member && *member; ++member) {
        if (std::strcmp(*member, user) != 0) {
            return false;
        }
    }
    return true;
}

// Debian's user-private groups: with umask 002 a user's folders are 0775, group-writable for
// a group named after the user that holds nobody else. Such a folder is as private as 0755.
// Any other group, or one the databases cannot vouch for, counts as other users.
bool IsOwnPrivateGroup(int folder, gid_t group) {
    std::vector<char> userBuffer(kDatabaseBuffer);
    std::vector<char> groupBuffer(kDatabaseBuffer);
    passwd user{};
    passwd* foundUser = nullptr;
    ::group entry{};
    ::group* foundGroup = nullptr;
    if (::getpwuid_r(::geteuid(), &user, userBuffer.data(), userBuffer.size(), &foundUser) != 0 ||
        !foundUser || user.pw_gid != group ||
        ::getgrgid_r(group, &entry, groupBuffer.data(), groupBuffer.size(), &foundGroup) != 0 ||
        !foundGroup) {
        return false;
    }
    return std::strcmp(entry.gr_name, user.pw_name) == 0 &&
           OnlyMember(entry.gr_mem, user.pw_name) && !HasAccessList(folder);
}

} // namespace

FolderTrust TrustOfFolder(int folder) {
    struct stat st {};
    if (::fstat(folder, &st) != 0 || !S_ISDIR(st.st_mode)) {
        return FolderTrust::Unsafe;
    }
    // The owner may rename anything in it, sticky or not, and may change its mode at will.
    if (st.st_uid != ::geteuid() && st.st_uid != 0) {
        return FolderTrust::Unsafe;
    }
    const bool othersWrite = (st.st_mode & S_IWOTH) != 0;
    const bool groupWrite = (st.st_mode & S_IWGRP) != 0 && !IsOwnPrivateGroup(folder, st.st_gid);
    if (!othersWrite && !groupWrite) {
        return FolderTrust::Private;
    }
    return (st.st_mode & S_ISVTX) ? FolderTrust::SharedSticky : FolderTrust::Unsafe;
}

} // namespace platform::kernel
