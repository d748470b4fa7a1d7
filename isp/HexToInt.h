// The value of a string of hexadecimal digits (either case); 0 for an empty string or one
// with any other character.
#pragma once

#include "platform/wintypes.h"

int HexToInt(LPCTSTR text);
