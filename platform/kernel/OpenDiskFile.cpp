#include "kernel/OpenDiskFile.h"

#include "kernel/FolderTrust.h"
#include "kernel/WindowsPath.h"
#include "platform/kernel32.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace platform::kernel {

namespace {

// Beyond RLIMIT_FSIZE a write raises SIGXFSZ, which would end the process. Ignored, the write
// fails with EFBIG instead, and WriteFile reports it as Windows reports a full disk.
[[maybe_unused]] const bool g_fileSizeSignalIgnored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;

// Someone who keeps planting the name between our removal and our creation wins only a refusal.
constexpr int kCreateAttempts = 8;

constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

OpenedDiskFile Failed(int error) {
    return {UniqueFd(), false, error};
}

std::string NameIn(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Creates(DWORD disposition) {
    return disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
}

// The umask can only take bits away from 0600; fchmod gives back an owner bit it took.
OpenedDiskFile CreateExclusively(int folder, const std::string& name, int flags) {
    UniqueFd fd(
        ::openat(folder, name.c_str(), flags | kOpenFlags | O_CREAT | O_EXCL | O_NOFOLLOW, 0600));
    if (!fd.Valid()) {
        return Failed(errno);
    }
    if (::fchmod(fd.Get(), 0600) != 0) {
        const int error = errno;
        ::unlinkat(folder, name.c_str(), 0);
        return Failed(error);
    }
    return {std::move(fd), false, 0};
}

struct ExistingRules {
    bool noLinks = false; // neither a symlink at the name nor a second name of the file
    bool ownOnly = false; // only a file of the caller's own
};

int CheckExisting(int fd, ExistingRules rules) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode) || (rules.noLinks && st.st_nlink != 1) ||
        (rules.ownOnly && st.st_uid != ::geteuid())) {
        return EACCES;
    }
    return 0;
}

OpenedDiskFile OpenExisting(int folder, const std::string& name, int flags, ExistingRules rules) {
    const int follow = rules.noLinks ? O_NOFOLLOW : 0;
    UniqueFd fd(::openat(folder, name.c_str(), flags | kOpenFlags | follow));
    if (!fd.Valid()) {
        return Failed(errno);
    }
    if (const int error = CheckExisting(fd.Get(), rules)) {
        return Failed(error);
    }
    return {std::move(fd), true, 0};
}

// Whether the caller may remove the name is the kernel's to judge: in a sticky folder only
// its own names. A symlink, FIFO or device there is someone's plant, left alone.
int RemoveToReplace(int folder, const std::string& name, const ReplaceCheck& mayReplace) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return EACCES;
    }
    // Windows does not overwrite a file the caller may not write, such as a read-only one.
    if (::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno;
    }
    if (mayReplace && !mayReplace({st.st_dev, st.st_ino})) {
        return EBUSY;
    }
    return ::unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
}

// A replaced file keeps its content for whoever else names or holds it; only the name moves
// to a new file.
OpenedDiskFile CreateOrOpen(int folder, const std::string& name, int flags, DWORD disposition,
                            bool shared, const ReplaceCheck& mayReplace) {
    bool replaced = false;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        OpenedDiskFile created = CreateExclusively(folder, name, flags);
        if (created.error != EEXIST || disposition == CREATE_NEW) {
            created.existed = replaced;
            return created;
        }
        if (disposition == OPEN_ALWAYS) {
            OpenedDiskFile existing = OpenExisting(folder, name, flags, {true, shared});
            if (existing.error != ENOENT) {
                return existing;
            }
            continue;
        }
        const int error = RemoveToReplace(folder, name, mayReplace);
        if (error != 0 && error != ENOENT) {
            return Failed(error);
        }
        replaced = replaced || error == 0;
    }
    return Failed(EACCES);
}

} // namespace

OpenedDiskFile OpenDiskFile(const std::string& path, int flags, DWORD disposition,
                            const ReplaceCheck& mayReplace) {
    UniqueFd folder(::open(ParentFolder(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) {
        return Failed(errno);
    }
    const std::string name = NameIn(path);
    if (name.empty()) {
        return Failed(EISDIR);
    }
    const FolderTrust trust = TrustOfFolder(folder.Get());
    if (trust == FolderTrust::Unsafe) {
        return Failed(EACCES);
    }
    const bool shared = trust == FolderTrust::SharedSticky;
    if (Creates(disposition)) {
        return CreateOrOpen(folder.Get(), name, flags, disposition, shared, mayReplace);
    }
    return OpenExisting(folder.Get(), name, flags, {shared, shared});
}

} // namespace platform::kernel
