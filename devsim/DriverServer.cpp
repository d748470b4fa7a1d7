#include "DriverServer.h"

#include "ControlCommand.h"
#include "Sockets.h"
#include "TerminationSignals.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <vector>

namespace devsim {

namespace {

namespace wire = platform::devices::wire;

constexpr std::size_t kMaxConnections = 64;
// A client that lets this much pile up unread is not reading at all: it is dropped.
constexpr std::size_t kMaxQueuedPackets = 64;
constexpr std::size_t kMaxQueuedBytes = std::size_t{1024} * 1024;
constexpr std::size_t kMaxControlLine = 4096;

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string TrimLine(const std::vector<std::uint8_t>& packet) {
    std::string line(packet.begin(), packet.end());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '\0')) {
        line.pop_back();
    }
    return line;
}

} // namespace

// A trailing slash would make the checks below follow a link at the folder's name.
DriverServer::DriverServer(NerithDevice& device, std::string folder, std::string name)
    : device_(device), folder_(WithoutTrailingSlashes(std::move(folder))), name_(std::move(name)) {}

DriverServer::~DriverServer() {
    connections_.clear();
    if (deviceListener_.Valid()) {
        ::unlink(DevicePath().c_str());
    }
    if (controlListener_.Valid()) {
        ::unlink(ControlPath().c_str());
    }
    if (createdFolder_) {
        ::rmdir(folder_.c_str());
    }
}

// The folder is made 0700 by mkdir itself, so it is never open to others, not even briefly.
bool DriverServer::CreateFolder(std::string& error) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(folder_).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
    }
    if (ec || ::mkdir(folder_.c_str(), 0700) != 0) {
        error = "cannot create the device folder " + folder_;
        return false;
    }
    createdFolder_ = true;
    // A strict umask may have taken the owner's own bits away.
    if (::chmod(folder_.c_str(), 0700) != 0) {
        error = "cannot open the device folder " + folder_ + " to its owner";
        return false;
    }
    return true;
}

bool DriverServer::PrepareFolder(std::string& error) {
    struct stat st {};
    if (::lstat(folder_.c_str(), &st) != 0 && errno == ENOENT && !CreateFolder(error)) {
        return false;
    }
    // Others must not be able to plant a socket where the updater looks for its driver.
    if (::lstat(folder_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH))) {
        error = "the device folder " + folder_ +
                " must be a directory of this user, "
                "writable by nobody else";
        return false;
    }
    return true;
}

bool DriverServer::Start(std::string& error) {
    std::signal(SIGPIPE, SIG_IGN);
    signals_ = BlockTerminationSignals();
    if (!signals_.Valid()) {
        error = std::string("cannot watch for signals: ") + std::strerror(errno);
        return false;
    }
    if (!PrepareFolder(error)) {
        return false;
    }
    // The control socket answering is how callers know the device is up, so it comes last.
    if (!device_.InjectedFaults().noDevice && !Plug(error)) {
        return false;
    }
    controlListener_ = ListenOn(ControlPath(), error);
    return controlListener_.Valid();
}

bool DriverServer::Plug(std::string& error) {
    deviceListener_ = ListenOn(DevicePath(), error);
    return deviceListener_.Valid();
}

void DriverServer::Unplug() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        auto next = std::next(it);
        if (!it->control) {
            Close(it);
        }
        it = next;
    }
    if (deviceListener_.Valid()) {
        ::unlink(DevicePath().c_str());
        deviceListener_.Reset();
    }
}

void DriverServer::SyncPlug() {
    const bool wanted = !device_.InjectedFaults().noDevice;
    if (wanted == deviceListener_.Valid()) {
        return;
    }
    std::string error;
    if (!wanted) {
        Unplug();
    } else if (!Plug(error)) {
        std::fprintf(stderr, "nerith-devsim: %s\n", error.c_str());
    }
}

void DriverServer::Accept(int listener, bool control) {
    UniqueFd socket(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!socket.Valid() || connections_.size() >= kMaxConnections) {
        return;
    }
    Connection connection;
    connection.socket = std::move(socket);
    connection.control = control;
    connection.state.id = nextClientId_++;
    connections_.push_back(std::move(connection));
}

void DriverServer::Close(std::list<Connection>::iterator it) {
    if (!it->control) {
        device_.ClientClosed(it->state);
    }
    connections_.erase(it);
}

bool DriverServer::Deliver(Connection& connection, const Outcome& outcome) {
    // A hung driver, for real: nothing in this process runs until someone sends SIGCONT.
    if (outcome.freezeFirst) {
        ::raise(SIGSTOP);
    }
    switch (outcome.action) {
    case Outcome::Action::QueryObject:
        connection.awaitingObject = true;
        connection.queriedHandle = outcome.handleValue;
        return Queue(connection, wire::EncodeObjectQuery(outcome.handleValue));
    case Outcome::Action::Vanish:
        device_.InjectedFaults().noDevice = true;
        return false;
    case Outcome::Action::Reply:
        break;
    }
    return Queue(connection, wire::EncodeReply(outcome.status, outcome.output));
}

bool DriverServer::ServeDevice(Connection& connection, std::vector<std::uint8_t>& packet,
                               UniqueFd fd) {
    if (connection.awaitingObject) {
        connection.awaitingObject = false;
        wire::ObjectAnswer answer;
        if (!wire::ParseObjectAnswer(packet, answer) || answer.status != 0 ||
            answer.handleValue != connection.queriedHandle) {
            fd.Reset();
        }
        return Deliver(connection, device_.FinishRegistration(connection.state, std::move(fd)));
    }
    wire::Request request;
    if (!wire::ParseRequest(packet, request)) {
        device_.CountMalformed();
        return Queue(connection, wire::EncodeReply(ERROR_INVALID_PARAMETER, {}));
    }
    return Deliver(connection, device_.Handle(connection.state, request));
}

bool DriverServer::ServeControl(Connection& connection, const std::vector<std::uint8_t>& packet) {
    const ControlResult result = RunControlCommand(device_, TrimLine(packet));
    if (result.action == ControlResult::Action::Replug) {
        Unplug();
        device_.Replug();
        device_.InjectedFaults().noDevice = false;
    }
    stopping_ = result.action == ControlResult::Action::Stop;
    // The device is (un)plugged before the reply, so a client that reads "ok" sees the change.
    SyncPlug();
    return Queue(connection, std::vector<std::uint8_t>(result.reply.begin(), result.reply.end()));
}

bool DriverServer::Queue(Connection& connection, std::vector<std::uint8_t> packet) {
    connection.outboxBytes += packet.size();
    connection.outbox.push_back(std::move(packet));
    if (!Flush(connection)) {
        return false;
    }
    return connection.outbox.size() <= kMaxQueuedPackets &&
           connection.outboxBytes <= kMaxQueuedBytes;
}

bool DriverServer::Flush(Connection& connection) {
    while (!connection.outbox.empty()) {
        switch (TrySendPacket(connection.socket.Get(), connection.outbox.front())) {
        case Sent::Later:
            return true;
        case Sent::Failed:
            return false;
        case Sent::Whole:
            break;
        }
        connection.outboxBytes -= connection.outbox.front().size();
        connection.outbox.pop_front();
    }
    return true;
}

bool DriverServer::Pump(Connection& connection, short events) {
    if ((events & POLLOUT) && !Flush(connection)) {
        return false;
    }
    return (events & ~POLLOUT) == 0 || Serve(connection);
}

bool DriverServer::Serve(Connection& connection) {
    std::vector<std::uint8_t> packet;
    UniqueFd fd;
    const std::size_t limit = connection.control ? kMaxControlLine : wire::kMaxPacket + 1;
    switch (ReceivePacket(connection.socket.Get(), limit, packet, fd)) {
    case Received::Nothing:
        return true;
    case Received::Closed:
    case Received::Failed:
        return false;
    case Received::Packet:
        break;
    }
    return connection.control ? ServeControl(connection, packet)
                              : ServeDevice(connection, packet, std::move(fd));
}

std::list<DriverServer::Connection>::iterator DriverServer::Find(int id) {
    return std::find_if(connections_.begin(), connections_.end(),
                        [id](const Connection& c) { return c.state.id == id; });
}

int DriverServer::Run() {
    std::vector<pollfd> fds;
    std::vector<int> ids;
    while (!stopping_) {
        fds = {{signals_.Get(), POLLIN, 0},
               {controlListener_.Get(), POLLIN, 0},
               {deviceListener_.Get(), POLLIN, 0}};
        ids.clear();
        for (const Connection& c : connections_) {
            const short events = c.outbox.empty() ? POLLIN : (POLLIN | POLLOUT);
            fds.push_back({c.socket.Get(), events, 0});
            ids.push_back(c.state.id);
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("nerith-devsim: poll");
            return 1;
        }
        if (fds[0].revents) {
            return 0;
        }
        for (std::size_t i = 0; i < ids.size() && !stopping_; ++i) {
            // A vanishing device or a replug may have closed connections this round lists.
            const auto it = Find(ids[i]);
            if (!fds[i + 3].revents || it == connections_.end()) {
                continue;
            }
            if (!Pump(*it, fds[i + 3].revents)) {
                Close(it);
            }
            SyncPlug();
        }
        if (fds[1].revents & POLLIN) {
            Accept(controlListener_.Get(), true);
        }
        if ((fds[2].revents & POLLIN) && deviceListener_.Valid()) {
            Accept(deviceListener_.Get(), false);
        }
    }
    return 0;
}

} // namespace devsim
