// The TCP exchange between winekorvel.dll (korvel.sys's user-mode half, inside Wine's device
// host) and nerith-korvel-relay (on Linux, in front of nerith-devsim). Both ends include this
// header: one is built with mingw-w64, the other natively, and both run on little-endian x86.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace korvel_relay {

static_assert(std::endian::native == std::endian::little, "frames are little-endian");

// Every frame is a 32-bit length, then that many bytes.
constexpr std::size_t kLengthSize = 4;
// The largest frame: a device packet (platform/devices/WIRE.md) with a 64 KiB body.
constexpr std::uint32_t kMaxFrame = 20 + 64 * 1024;

constexpr std::uint32_t kHelloMagic = 0x4B524C31; // "KRL1"
// 32 random bytes as lower-case hex digits, made anew for every run of the relay.
constexpr std::size_t kTokenLength = 64;

enum class Role : std::uint32_t {
    // One open handle of \\.\korvel: after the Welcome, device packets both ways.
    Device = 1,
    // The releases of the object that a Device connection handed over, one frame each.
    Events = 2
};

// The first frame on every connection. Loopback is open to every local user, so nothing is
// served before the token is shown.
struct Hello {
    std::uint32_t magic;
    std::uint32_t role;
    std::uint32_t deviceId; // Events: the Device connection they belong to; else 0
    char token[kTokenLength];
};
static_assert(sizeof(Hello) == 76);

// The relay's answer to a Device Hello: status 0 and the connection's id, or the Win32 error
// with which the open fails (ERROR_FILE_NOT_FOUND when nerith-devsim does not serve).
struct Welcome {
    std::uint32_t status;
    std::uint32_t deviceId;
};
static_assert(sizeof(Welcome) == 8);

// One release of the semaphore named by its handle value in the caller of the open.
struct Release {
    std::uint32_t handleValue;
};
static_assert(sizeof(Release) == 4);

} // namespace korvel_relay
