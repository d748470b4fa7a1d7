#include "CarriedImage.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace nerith::demo {

std::vector<std::uint8_t> ReferenceFlash1(const std::string& srecCat, const std::string& s19,
                                          const std::string& workFolder, std::string* error) {
    char range[64];
    std::snprintf(range, sizeof(range), " 0x%zX 0x%zX", kFlash1First, kFlash1End);
    const std::string out = workFolder + "/reference-flash1.bin";
    const std::string command = "'" + srecCat + "' '" + s19 + "' -crop" + range + " -fill 0xFF" +
                                range + " -offset -" + std::to_string(kFlash1First) + " -o '" +
                                out + "' -binary";
    if (std::system(command.c_str()) != 0) {
        if (error) {
            *error = "srec_cat failed: " + command;
        }
        return {};
    }
    std::ifstream in(out, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(out.c_str());
    if (bytes.size() != kFlash1End - kFlash1First && error) {
        *error = "srec_cat gave " + std::to_string(bytes.size()) + " bytes";
    }
    return bytes.size() == kFlash1End - kFlash1First ? bytes : std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> Flash1Of(const std::vector<std::uint8_t>& flash) {
    if (flash.size() != 0x10000) {
        return {};
    }
    return {flash.begin() + kFlash1First, flash.begin() + kFlash1End};
}

} // namespace nerith::demo
