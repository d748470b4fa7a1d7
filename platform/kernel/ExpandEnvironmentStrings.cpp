#include "kernel/PrivateTempFolder.h"
#include "platform/kernel32.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>

extern char** environ;

namespace {

bool EqualNoCase(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::toupper(x) != std::toupper(y)) {
            return false;
        }
    }
    return true;
}

// Variable names are not case-sensitive on Windows. An empty value counts as unset: Windows
// cannot hold one.
std::optional<std::string> Variable(const std::string& name) {
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals && static_cast<std::size_t>(equals - *entry) == name.size() &&
            EqualNoCase(*entry, name.data(), name.size()) && equals[1] != '\0') {
            return std::string(equals + 1);
        }
    }
    if (EqualNoCase(name.c_str(), "TEMP", 5) || EqualNoCase(name.c_str(), "TMP", 4)) {
        return platform::kernel::PrivateTempFolder();
    }
    return std::nullopt;
}

// An unknown or empty name stays as written, both '%' signs included, and scanning goes on
// after it; a '%' without a closing one is copied as it stands.
std::string Expand(const char* source) {
    std::string out;
    for (const char* p = source; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* close = std::strchr(p + 1, '%');
        if (!close) {
            out += p;
            break;
        }
        const auto value = close > p + 1 ? Variable(std::string(p + 1, close)) : std::nullopt;
        if (value) {
            out += *value;
        } else {
            out.append(p, close + 1);
        }
        p = close + 1;
    }
    return out;
}

} // namespace

// Returns the characters needed including the terminator. When they do not fit, the buffer
// gets as much as fits, always terminated, and the caller sees the larger count.
DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (!lpSrc || (!lpDst && nSize > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string expanded;
    try {
        expanded = Expand(lpSrc);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (expanded.size() >= 0xFFFFFFFEu) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    const DWORD needed = static_cast<DWORD>(expanded.size() + 1);
    if (nSize > 0) {
        const std::size_t copied = needed <= nSize ? expanded.size() : nSize - 1;
        std::memcpy(lpDst, expanded.data(), copied);
        lpDst[copied] = '\0';
    }
    return needed;
}
