// Build-time tool: turns a compiled .res file into a C++ source that registers its bytes
// as the executable's own resources.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: nerith-embed-res INPUT.res OUTPUT.cpp\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "nerith-embed-res: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "nerith-embed-res: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "#include \"platform/internal/embedded_resources.h\"\n"
                      "namespace {\nalignas(4) const unsigned char kResources[] = {\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::fprintf(out, "%u,%s", bytes[i], (i % 24 == 23) ? "\n" : "");
    }
    std::fprintf(out,
                 "0};\nconst platform::kernel::EmbeddedResources kRegistration(kResources, "
                 "%zu);\n}\n",
                 bytes.size());
    return std::fclose(out) == 0 ? 0 : 1;
}
