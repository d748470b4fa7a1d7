// The device side owns its sockets and files the way the platform does.
#pragma once

#include "platform/internal/UniqueFd.h"

namespace devsim {

using platform::kernel::UniqueFd;

} // namespace devsim
