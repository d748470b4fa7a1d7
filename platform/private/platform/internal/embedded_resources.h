// The executable's own compiled resources (.res), embedded at build time. The generated
// source defines one EmbeddedResources object; FindResourceA(NULL, ...) reads from it.
#pragma once

#include <cstddef>

namespace platform::kernel {

class EmbeddedResources {
public:
    EmbeddedResources(const unsigned char* data, std::size_t size);
};

} // namespace platform::kernel
