#include "RelayToken.h"

#include "RelayProtocol.h"

#include <sys/random.h>

#include <array>
#include <cstdint>

namespace korvel_relay {

std::string MakeToken() {
    std::array<std::uint8_t, kTokenLength / 2> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got <= 0) {
            return "";
        }
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (const std::uint8_t b : bytes) {
        token += kDigits[b >> 4];
        token += kDigits[b & 0xF];
    }
    return token;
}

bool SameToken(std::string_view shown, std::string_view token) {
    if (shown.size() != token.size() || token.empty()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        difference |= static_cast<unsigned char>(shown[i] ^ token[i]);
    }
    return difference == 0;
}

} // namespace korvel_relay
