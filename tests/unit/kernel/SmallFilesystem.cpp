#include "SmallFilesystem.h"

#include <sys/mount.h>
#include <sys/stat.h>

SmallFilesystem::SmallFilesystem(const std::string& folder, unsigned kilobytes) : path_(folder) {
    const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0700";
    mounted_ = ::mkdir(path_.c_str(), 0700) == 0 &&
               ::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                       options.c_str()) == 0;
}

SmallFilesystem::~SmallFilesystem() {
    if (mounted_) {
        ::umount2(path_.c_str(), MNT_DETACH);
    }
}
