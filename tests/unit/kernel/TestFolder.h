// A private scratch folder for one test, removed with everything in it afterwards, and the few
// file-system set-ups (symlinks, hard links, FIFOs, owners, permissions, the umask) that the
// Win32 API cannot make itself.
#pragma once

#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }
    // `name` inside the folder, with '/' separators.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool MakeSymlink(const std::string& target, const std::string& link);
bool MakeHardLink(const std::string& target, const std::string& link);
bool MakeFifo(const std::string& path);
bool MakeFolder(const std::string& path);
bool RemoveFolder(const std::string& path);
bool IsSymlink(const std::string& path);
bool Exists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Octal permission bits, or -1 when the path cannot be examined.
int PermissionBits(const std::string& path);
bool SetPermissionBits(const std::string& path, int mode);
bool RunningAsRoot();
int LinkCount(const std::string& path);
// The owner of the name itself (a symlink is not followed); -1 when it cannot be examined.
long long OwnerOf(const std::string& path);
// Needs root; a symlink itself changes hands, not its target.
bool GiveTo(const std::string& path, unsigned uid, unsigned gid);
// Adds an access-list entry that lets `uid` write: needs a file system with access lists.
bool GrantWriteByAccessList(const std::string& path, unsigned uid);

class ScopedUmask {
public:
    explicit ScopedUmask(int mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    int saved_;
};
