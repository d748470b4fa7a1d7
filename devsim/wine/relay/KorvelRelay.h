// nerith-korvel-relay: korvel.sys under Wine reaches nerith-devsim through this process. It
// listens on TCP loopback (a Wine-hosted driver cannot reach an AF_UNIX socket), lets in only
// clients that show the run's token, and gives each Device connection a connection of its own
// to nerith-devsim, so the simulator sees one client per open handle as it does on Linux.
// A semaphore handed over by handle value becomes an eventfd for nerith-devsim; each release
// it makes goes back to the driver as a Release frame on the Device connection's Events line.
#pragma once

#include "StreamFrames.h"
#include "UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <list>
#include <string>

namespace korvel_relay {

using devsim::UniqueFd;

struct RelaySettings {
    std::string devicePath; // nerith-devsim's device socket
    // A client that has not shown the token by then is dropped.
    std::chrono::milliseconds helloTimeout{5000};
};

class KorvelRelay {
public:
    explicit KorvelRelay(RelaySettings settings) : settings_(std::move(settings)) {}
    KorvelRelay(const KorvelRelay&) = delete;
    KorvelRelay& operator=(const KorvelRelay&) = delete;

    // Listens on 127.0.0.1 at a port the system picks, and makes the token.
    bool Start(std::string& error);
    std::uint16_t Port() const { return port_; }
    const std::string& Token() const { return token_; }
    // Serves until `stopFd` turns readable; returns the exit code.
    int Run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;
    enum class Stage { Hello, Idle, AwaitingDriver, AwaitingAnswer, Events };

    struct Connection {
        int id = 0;
        UniqueFd tcp;
        FrameReader reader;
        Outbox outbox;
        Stage stage = Stage::Hello;
        Clock::time_point helloDeadline;
        // Device connections: nerith-devsim's side and the request under way.
        UniqueFd driver;
        std::uint32_t outLength = 0;
        int queries = 0;
        std::uint32_t queriedHandle = 0;
        // The object handed over last (an eventfd) and the Events line that carries its
        // releases; the count waits in the eventfd until that line is there.
        UniqueFd object;
        std::uint32_t objectHandle = 0;
        int eventsLine = 0;
        // Events connections: the Device connection they belong to.
        int deviceId = 0;
    };
    using Iterator = std::list<Connection>::iterator;

    void Accept();
    // Each returns false when the connection is finished and must be closed.
    bool ReadTcp(Connection& c);
    bool OnFrame(Connection& c, const std::vector<std::uint8_t>& frame);
    bool OnHello(Connection& c, const std::vector<std::uint8_t>& frame);
    bool OpenDevice(Connection& c);
    bool AttachEvents(Connection& c, int deviceId);
    bool OnRequest(Connection& c, const std::vector<std::uint8_t>& frame);
    bool OnObjectAnswer(Connection& c, const std::vector<std::uint8_t>& frame);
    bool OnDriverPacket(Connection& c);
    bool OnRelease(Connection& c);
    bool Send(Connection& c, std::span<const std::uint8_t> frame);
    void Close(Iterator it);
    void CloseExpiredHellos();
    int PollTimeout() const;
    Connection* Find(int id);

    RelaySettings settings_;
    UniqueFd listener_;
    std::uint16_t port_ = 0;
    std::string token_;
    std::list<Connection> connections_;
    int nextId_ = 1;
};

} // namespace korvel_relay
