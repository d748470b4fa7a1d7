// Progress values the stages sent with SendMessageA, in order.
#pragma once

#include "platform/wintypes.h"

#include <vector>

std::vector<WPARAM>& RecordedProgress();
