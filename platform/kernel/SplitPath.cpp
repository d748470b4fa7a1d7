#include "platform/crt.h"

#include <cstring>

namespace {

void Store(char* out, std::size_t capacity, const char* begin, const char* end) {
    if (!out) {
        return;
    }
    std::size_t length = static_cast<std::size_t>(end - begin);
    if (length >= capacity) {
        length = capacity - 1;
    }
    std::memcpy(out, begin, length);
    out[length] = '\0';
}

} // namespace

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
    if (!path) {
        path = "";
    }
    const char* end = path + std::strlen(path);
    const char* rest = path;
    if (path[0] != '\0' && path[1] == ':') {
        rest = path + 2;
    }
    Store(drive, _MAX_DRIVE, path, rest);
    const char* name = rest;
    for (const char* p = rest; p < end; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    Store(dir, _MAX_DIR, rest, name);
    const char* dot = end;
    for (const char* p = end; p > name;) {
        if (*--p == '.') {
            dot = p;
            break;
        }
    }
    Store(fname, _MAX_FNAME, name, dot);
    Store(ext, _MAX_EXT, dot, end);
}
