// A driver that is not the Nerith's: it serves a device socket, writes on standard output
// what reaches it, and answers like a Nerith at version 1.63 (keeping what is programmed, so
// the read-back agrees), never, or only until a chosen program request. Tests run it as a
// separate process, as this user or another one.
#pragma once

#include "UniqueFd.h"
#include "platform/internal/device_wire.h"

#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <string>

namespace nerith::rogue {

struct RogueOptions {
    std::string folder;
    std::string name = "korvel";
    bool silent = false;                    // reads every request, answers none
    std::optional<unsigned> stallAtProgram; // from this program request on (from 0), silent
};

class RogueServer {
public:
    explicit RogueServer(RogueOptions options) : options_(std::move(options)) {}

    bool Listen(std::string& error);
    // Serves until the process is ended by a signal.
    void Run();

private:
    struct Client {
        devsim::UniqueFd socket;
        bool awaitingObject = false;
    };

    void Accept();
    // False when the client is gone.
    bool Serve(Client& client);
    bool Answer(Client& client, const platform::devices::wire::Request& request);
    std::vector<std::uint8_t> Output(const platform::devices::wire::Request& request) const;
    void Program(const platform::devices::wire::Request& request);
    bool Reply(const Client& client, std::uint32_t status,
               const std::vector<std::uint8_t>& output) const;
    bool Quiet() const { return options_.silent || stalled_; }
    void CountProgramRequest();

    RogueOptions options_;
    devsim::UniqueFd listener_;
    std::list<Client> clients_;
    std::array<std::uint8_t, 0x10000> flash_{};
    unsigned programRequests_ = 0;
    bool stalled_ = false;
};

// One line on standard output, written at once.
void Report(const std::string& line);

} // namespace nerith::rogue
