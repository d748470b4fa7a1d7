// Reader of the resource section of a PE image (PE32 or PE32+) held as plain bytes: the image
// is never mapped for execution, only its headers, section table and resource tree are read.
#pragma once

#include "kernel/ResourceTable.h"

#include <cstddef>
#include <cstdint>

namespace platform::kernel {

// Adds the resources of an image of `fileSize` bytes to `table`, reading its headers and
// resource tree from the first `size` bytes, `data`; every entry gets the file offset of its
// bytes, checked to lie within the file. Returns ERROR_SUCCESS (also for an image without
// resources) or ERROR_BAD_FORMAT, also when the tree lies beyond the bytes given.
DWORD ParsePeResources(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                       ResourceTable& table);

} // namespace platform::kernel
