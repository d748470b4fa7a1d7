// Who besides the caller can add, remove or rename names in a folder. A file is only as safe
// as its name: whoever can rename in the folder can put another file under it.
#pragma once

namespace platform::kernel {

enum class FolderTrust {
    Private,      // only the caller or root can change its names
    SharedSticky, // others may add names, but remove or rename only their own
    Unsafe,       // someone else can remove or rename the caller's names
};

// `folder` is a descriptor of the folder itself (O_PATH will do).
FolderTrust TrustOfFolder(int folder);

} // namespace platform::kernel
