#include "S19Reader.h"

#include "platform/crt.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kLastAddress = 0xFFFF;
constexpr DWORD kPageSize = 64;

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

// Count digits: '0'-'9' as such, anything else as an upper-case letter would be.
int CountDigit(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : c - 55;
}

int DataDigit(char c) {
    return c > '9' ? c - 55 : c - 48;
}

// The characters of the line before its line end.
std::size_t LineLength(const char* line) {
    std::size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) {
        --length;
    }
    return length;
}

DWORD RecordAddress(const char* line) {
    char address[5];
    for (int i = 0; i < 4; ++i) {
        address[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[4 + i])));
    }
    address[4] = '\0';
    return static_cast<DWORD>(HexToInt(address));
}

// A record whose count claims more digits than the line holds (a short line, a lower-case
// count, the first piece of an overlong line) is skipped; data past 0xFFFF is dropped.
void LoadLine(const char* line, BYTE* image, BYTE* pageMap) {
    const std::size_t length = LineLength(line);
    if (length < 8 || line[1] != '1') {
        return;
    }
    const int count = CountDigit(line[2]) * 16 + CountDigit(line[3]);
    const int dataEnd = 2 * count + 2;
    if (dataEnd > static_cast<int>(length)) {
        return;
    }
    DWORD address = RecordAddress(line);
    for (int i = 8; i + 1 < dataEnd && address <= kLastAddress; i += 2, ++address) {
        pageMap[address / kPageSize] = 0xFF;
        image[address] = static_cast<BYTE>(DataDigit(line[i]) * 16 + DataDigit(line[i + 1]));
    }
}

} // namespace

int ReadS19File(LPCTSTR lpszPath, BYTE* image, BYTE* pageMap) {
    std::FILE* file = fopen(lpszPath, "r");
    if (!file) {
        return 1;
    }
    char line[100];
    while (std::fgets(line, sizeof(line), file)) {
        LoadLine(line, image, pageMap);
    }
    std::fclose(file);
    return 0;
}

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
