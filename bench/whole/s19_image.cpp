// nerith-s19-image IN.s19 OUT.bin: the updater's S-record reader as a program of its own, so it
// can be timed the way srec_cat is. OUT gets the 65,536-byte image, 0xFF where IN gives nothing.
#include "S19Reader.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: nerith-s19-image IN.s19 OUT.bin\n");
        return 2;
    }
    std::vector<BYTE> image(0x10000, 0xFF);
    std::vector<BYTE> pageMap(1024, 0);
    if (ReadS19File(argv[1], image.data(), pageMap.data()) != 0) {
        std::fprintf(stderr, "nerith-s19-image: cannot open %s\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "nerith-s19-image: cannot create %s\n", argv[2]);
        return 1;
    }
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    if (std::fclose(out) != 0 || !written) {
        std::remove(argv[2]);
        std::fprintf(stderr, "nerith-s19-image: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
