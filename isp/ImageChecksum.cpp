#include "isp/ImageChecksum.h"

namespace {

constexpr DWORD kImageSize = 0x10000;

} // namespace

WORD ImageChecksum(const BYTE* image, DWORD first, DWORD last) {
    const DWORD end = last < kImageSize ? last : kImageSize - 1;
    DWORD sum = 0;
    for (DWORD address = first; address <= end; ++address) {
        sum = (sum + image[address]) % 65536;
    }
    return static_cast<WORD>((65536 - sum) % 65536);
}
