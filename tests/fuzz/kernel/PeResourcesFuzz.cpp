// Any bytes as a library file: LoadLibraryA either refuses them with ERROR_BAD_FORMAT or maps
// them as data, and every lookup the updater makes on a library stays in bounds.
#include "platform/kernel32.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A scratch file per run, removed when the run ends.
char g_path[] = "/tmp/nerith-pe-fuzz-XXXXXX";

const char* LibraryPath() {
    static const bool created = [] {
        const int fd = ::mkstemp(g_path);
        if (fd < 0) {
            std::abort();
        }
        ::close(fd);
        std::atexit([] { ::unlink(g_path); });
        return true;
    }();
    return created ? g_path : nullptr;
}

void Write(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(LibraryPath(), "wb");
    if (!f) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::abort();
    }
    std::fclose(f);
}

unsigned Touch(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC info = FindResourceA(module, name, type);
    if (!info) {
        const DWORD error = GetLastError();
        if (error != ERROR_RESOURCE_DATA_NOT_FOUND && error != ERROR_RESOURCE_TYPE_NOT_FOUND &&
            error != ERROR_RESOURCE_NAME_NOT_FOUND) {
            std::abort();
        }
        return 0;
    }
    const DWORD size = SizeofResource(module, info);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
    unsigned sum = 0;
    for (DWORD i = 0; bytes && i < size; ++i) {
        sum += bytes[i];
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Write(data, size);
    HMODULE module = LoadLibraryA(LibraryPath());
    if (!module) {
        if (GetLastError() != ERROR_BAD_FORMAT) {
            std::abort();
        }
        return 0;
    }
    unsigned sum = 0;
    for (WORD id = 1000; id < 1040; ++id) {
        sum += Touch(module, MAKEINTRESOURCE(id), "jpgs");
        sum += Touch(module, MAKEINTRESOURCE(id), RT_BITMAP);
    }
    sum += Touch(module, "LOGO", RT_RCDATA);
    sum += Touch(module, MAKEINTRESOURCE(1), RT_RCDATA);
    char text[64];
    sum += static_cast<unsigned>(LoadStringA(module, 7, text, sizeof text));
    if (!FreeLibrary(module)) {
        std::abort();
    }
    return static_cast<int>(sum & 0);
}
