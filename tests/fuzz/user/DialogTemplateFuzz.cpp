// Any bytes: the parser answers yes or no without reading past them, and what it accepts
// describes no more items than the bytes could hold.
#include "user/DialogTemplate.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so the sanitizer sees any read beyond them.
    const std::vector<std::uint8_t> bytes(data, data + size);
    platform::user::DialogTemplate parsed;
    if (platform::user::ParseDialogTemplate(bytes.data(), bytes.size(), parsed)) {
        // Every item takes at least 18 bytes (its fixed fields and three empty fields).
        if (parsed.items.size() * 18 > size) {
            std::abort();
        }
    }
    return 0;
}
