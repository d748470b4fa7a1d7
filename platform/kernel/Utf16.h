// UTF-16LE text from resources, turned into the ANSI code page of this platform (UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::kernel {

// `units` UTF-16 code units at `bytes` (little-endian). Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::uint8_t* bytes, std::size_t units);

// The longest prefix of `text` of at most `limit` bytes that does not split a character.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t limit);

} // namespace platform::kernel
