// A small driver inside the test process: it listens on a device socket in a private folder
// and answers each request with what the test's handler says. One thread per connection.
#pragma once

#include "platform/internal/device_wire.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nerith::test {

struct DriverReply {
    enum class Kind { Normal, Vanish, Raw };
    Kind kind = Kind::Normal;
    std::uint32_t status = 0;
    std::vector<std::uint8_t> output;
    std::vector<std::uint8_t> raw; // Kind::Raw: sent as it is instead of a reply

    static DriverReply Ok(std::vector<std::uint8_t> output = {}) {
        return {Kind::Normal, 0, std::move(output), {}};
    }
    static DriverReply Fail(std::uint32_t status) { return {Kind::Normal, status, {}, {}}; }
    static DriverReply Vanish() { return {Kind::Vanish, 0, {}, {}}; }
    static DriverReply Raw(std::vector<std::uint8_t> packet) {
        return {Kind::Raw, 0, {}, std::move(packet)};
    }
};

class DriverCall {
public:
    DriverCall(int socket, const platform::devices::wire::Request& request)
        : socket_(socket), request_(request) {}
    const platform::devices::wire::Request& Request() const { return request_; }
    // Asks the client for the object behind `handleValue`; returns the descriptor it sent
    // (the caller owns it) or -1.
    int QueryObject(std::uint32_t handleValue);

private:
    int socket_;
    const platform::devices::wire::Request& request_;
};

// Leaves a socket file that nothing listens on, as a driver that died would.
bool PlantDeadSocket(const std::string& folder, const std::string& name);

class ScriptedDriver {
public:
    using Handler = std::function<DriverReply(DriverCall&)>;

    ScriptedDriver(std::string folder, std::string name, Handler handler);
    ScriptedDriver(const ScriptedDriver&) = delete;
    ScriptedDriver& operator=(const ScriptedDriver&) = delete;
    ~ScriptedDriver();

    bool Listening() const { return listener_ >= 0; }
    unsigned Requests() const { return requests_.load(); }
    unsigned Connections() const { return connections_.load(); }
    // Keeps a descriptor the handler received, for Signal(); closed with the driver.
    void Keep(int fd);
    // Releases the kept semaphore once (an eventfd write); false when nothing is kept.
    bool Signal();

private:
    void AcceptLoop();
    void Serve(int socket);

    std::string path_;
    Handler handler_;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<unsigned> requests_{0};
    std::atomic<unsigned> connections_{0};
    std::mutex mutex_;
    std::vector<int> clients_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
    int kept_ = -1;
};

} // namespace nerith::test
