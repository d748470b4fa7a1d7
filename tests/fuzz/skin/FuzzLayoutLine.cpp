// Skin layout lines of any bytes: the record is always filled within its fields.
#include "SkinLayoutLine.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SkinLayoutLine line;
    ParseSkinLayoutLine(CString(text.c_str()), &line);
    // Both text fields must be terminated inside the record.
    if (std::memchr(line.szName, 0, sizeof(line.szName)) == nullptr ||
        std::memchr(line.szCaption, 0, sizeof(line.szCaption)) == nullptr) {
        __builtin_trap();
    }
    return 0;
}
