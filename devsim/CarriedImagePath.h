// Where the carried firmware image is: beside an installed devsim first, the source tree of the
// build second.
#pragma once

#include <string>

namespace devsim {

std::string CarriedImagePath();

} // namespace devsim
