// Serves the device socket NAME and the control socket NAME.control in the device folder
// from one poll loop: the event thread's long-lived handle, the programming session's
// short-lived ones and control clients are all served at once.
#pragma once

#include "NerithDevice.h"
#include "UniqueFd.h"

#include <deque>
#include <list>
#include <string>

namespace devsim {

class DriverServer {
public:
    DriverServer(NerithDevice& device, std::string folder, std::string name);
    DriverServer(const DriverServer&) = delete;
    DriverServer& operator=(const DriverServer&) = delete;
    ~DriverServer();

    bool Start(std::string& error);
    // Runs until "stop" or SIGINT/SIGTERM/SIGHUP; returns the exit code.
    int Run();

    std::string DevicePath() const { return folder_ + "/" + name_; }
    std::string ControlPath() const { return DevicePath() + ".control"; }

private:
    struct Connection {
        UniqueFd socket;
        bool control = false;
        bool awaitingObject = false;
        std::uint32_t queriedHandle = 0;
        ClientState state;
        // Replies the client has not taken yet: one that never reads holds up nobody else.
        std::deque<std::vector<std::uint8_t>> outbox;
        std::size_t outboxBytes = 0;
    };

    bool CreateFolder(std::string& error);
    bool PrepareFolder(std::string& error);
    bool Plug(std::string& error);
    void Unplug();
    void SyncPlug();
    void Accept(int listener, bool control);
    // Each returns false when the connection is finished and must be closed.
    bool Pump(Connection& connection, short events);
    bool Serve(Connection& connection);
    bool Queue(Connection& connection, std::vector<std::uint8_t> packet);
    bool Flush(Connection& connection);
    bool ServeDevice(Connection& connection, std::vector<std::uint8_t>& packet, UniqueFd fd);
    bool ServeControl(Connection& connection, const std::vector<std::uint8_t>& packet);
    bool Deliver(Connection& connection, const Outcome& outcome);
    void Close(std::list<Connection>::iterator it);
    std::list<Connection>::iterator Find(int id);

    NerithDevice& device_;
    std::string folder_;
    std::string name_;
    bool createdFolder_ = false;
    UniqueFd deviceListener_;
    UniqueFd controlListener_;
    UniqueFd signals_;
    std::list<Connection> connections_;
    int nextClientId_ = 1;
    bool stopping_ = false;
};

} // namespace devsim
