// A tmpfs of a few kilobytes mounted inside a test folder, to fill a disk for real. Only root
// may mount; Mounted() is false elsewhere. Unmounted when the object goes.
#pragma once

#include <string>

class SmallFilesystem {
public:
    SmallFilesystem(const std::string& folder, unsigned kilobytes);
    ~SmallFilesystem();
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool mounted_ = false;
};
