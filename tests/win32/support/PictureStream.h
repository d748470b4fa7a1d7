// A picture loaded from bytes the way the skin loader loads its JPEGs: a movable memory block,
// a stream over it that frees it, and OleLoadPicture.
#pragma once

#include "platform/ole2.h"

#include <cstdint>
#include <vector>

namespace win32test {

// A movable block holding `bytes`; nullptr when it cannot be had.
HGLOBAL BlockWith(const std::vector<std::uint8_t>& bytes);
// OleLoadPicture's answer for `bytes`, and the picture on success.
HRESULT LoadPicture(const std::vector<std::uint8_t>& bytes, IPicture** picture);

} // namespace win32test
