// Reader of compiled resource files (.res): a sequence of entries, each a header (data size,
// header size, type, name, flags, language) followed by its data, both padded to 4 bytes.
#pragma once

#include "kernel/ResourceTable.h"

#include <cstddef>
#include <cstdint>

namespace platform::kernel {

// Adds every resource of the file to `table`; entries point into `data`. Returns
// ERROR_SUCCESS or ERROR_BAD_FORMAT (the table then holds nothing from this file).
DWORD ParseResFile(const std::uint8_t* data, std::size_t size, ResourceTable& table);

} // namespace platform::kernel
