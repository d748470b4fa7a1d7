// The S-record reader on arbitrary file contents: it must stay inside its line, the image and
// the page map, and mark a page for every byte it stores.
#include "S19Reader.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/nerith-fuzz-s19-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::vector<BYTE> image(0x10000, 0xFF);
    std::vector<BYTE> pageMap(1024, 0);
    if (ReadS19File(path.c_str(), image.data(), pageMap.data()) != 0) {
        __builtin_trap();
    }
    for (std::size_t a = 0; a < image.size(); ++a) {
        if (image[a] != 0xFF && pageMap[a / 64] != 0xFF) {
            __builtin_trap();
        }
    }
    std::remove(path.c_str());
    return 0;
}
