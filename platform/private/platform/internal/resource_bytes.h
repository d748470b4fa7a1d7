// Where a resource that LockResource handed out ends, for callers given only its address (a
// dialog template), so that they read no further than the resource itself.
#pragma once

#include <cstddef>

namespace platform::kernel {

// The bytes from `address` to the end of the loaded resource that holds it; 0 when the
// address lies in no resource of the executable or of a loaded library.
std::size_t ResourceBytesFrom(const void* address);

} // namespace platform::kernel
