#include "platform/internal/embedded_resources.h"

#include "kernel/Module.h"

#include <cstdio>
#include <new>

namespace platform::kernel {

// Runs during static initialisation: nothing may escape, and a corrupt .res (a build fault)
// is reported once and leaves the executable without resources rather than half of them.
EmbeddedResources::EmbeddedResources(const unsigned char* data, std::size_t size) {
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    try {
        error = AddExecutableResources(data, size);
    } catch (const std::bad_alloc&) {
    }
    if (error != ERROR_SUCCESS) {
        std::fprintf(stderr, "embedded resources unusable (error %u)\n", error);
    }
}

} // namespace platform::kernel
