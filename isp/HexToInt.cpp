#include "isp/HexToInt.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

// Unsigned arithmetic so that a long string wraps as a 32-bit register would.
int HexToInt(LPCTSTR text) {
    if (!text) {
        return 0;
    }
    DWORD result = 0;
    for (; *text; ++text) {
        const int digit = HexValue(*text);
        if (digit < 0) {
            return 0;
        }
        result = result * 16 + static_cast<DWORD>(digit);
    }
    return static_cast<int>(result);
}
