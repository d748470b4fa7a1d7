// The secret a client of the relay shows first: loopback is open to every local user.
#pragma once

#include <string>
#include <string_view>

namespace korvel_relay {

// kTokenLength lower-case hex digits from the kernel's random source; empty when it fails.
std::string MakeToken();
// Compares in a time that does not depend on where the texts differ.
bool SameToken(std::string_view shown, std::string_view token);

} // namespace korvel_relay
