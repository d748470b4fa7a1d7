#include "CarriedImagePath.h"

#include <filesystem>
#include <system_error>

#ifndef NERITH_CARRIED_IMAGE
#error "NERITH_CARRIED_IMAGE must name the carried firmware image"
#endif

namespace devsim {

// An installed devsim lives in <prefix>/bin and the package puts the image in
// <prefix>/share/nerith-update; a devsim run from the build tree finds it in the sources.
std::string CarriedImagePath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto installed =
            self.parent_path().parent_path() / "share" / "nerith-update" / "firmware.s19";
        if (std::filesystem::is_regular_file(installed, error)) {
            return installed.string();
        }
    }
    return NERITH_CARRIED_IMAGE;
}

} // namespace devsim
