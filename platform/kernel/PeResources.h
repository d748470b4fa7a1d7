// Reader of the resource section of a PE image (PE32 or PE32+) held as plain bytes: the image
// is never mapped for execution, only its headers, section table and resource tree are read.
#pragma once

#include "kernel/ResourceTable.h"

#include <cstddef>
#include <cstdint>

namespace platform::kernel {

// Adds the image's resources to `table` (entries point into `data`). Returns ERROR_SUCCESS
// (also for an image without resources) or ERROR_BAD_FORMAT.
DWORD ParsePeResources(const std::uint8_t* data, std::size_t size, ResourceTable& table);

} // namespace platform::kernel
