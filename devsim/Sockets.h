// SOCK_SEQPACKET plumbing of the simulated driver.
#pragma once

#include "UniqueFd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

// Binds and listens on `path`, a socket file of mode 0600 whatever the umask. A socket file
// left behind by a driver that is gone is replaced; a live one, or any other kind of file, is
// an error.
UniqueFd ListenOn(const std::string& path, std::string& error);

enum class Received { Packet, Nothing, Closed, Failed };

// Receives one packet into a buffer of `limit` bytes; a longer packet arrives cut to `limit`
// bytes. The first descriptor that came with it lands in `fd`; any others are closed.
Received ReceivePacket(int socket, std::size_t limit, std::vector<std::uint8_t>& packet,
                       UniqueFd& fd);
bool SendPacket(int socket, const std::vector<std::uint8_t>& packet);

enum class Sent { Whole, Later, Failed };
// Sends one packet without waiting: Later when the peer has not read enough to take it.
Sent TrySendPacket(int socket, const std::vector<std::uint8_t>& packet);

} // namespace devsim
