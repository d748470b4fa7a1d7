#include "KorvelRelay.h"

#include "DriverSocket.h"
#include "RelayProtocol.h"
#include "RelayToken.h"
#include "Sockets.h"
#include "platform/internal/device_wire.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace korvel_relay {

namespace {

namespace wire = platform::devices::wire;

constexpr std::size_t kMaxConnections = 64;
// A peer that lets this much pile up unread is not reading at all.
constexpr std::size_t kMaxPending = std::size_t{1024} * 1024;
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;

enum class Source { Tcp, Driver, Object };

struct Watched {
    int id;
    Source source;
};

void Complain(const char* what) {
    std::fprintf(stderr, "nerith-korvel-relay: %s\n", what);
}

} // namespace

bool KorvelRelay::Start(std::string& error) {
    token_ = MakeToken();
    if (token_.empty()) {
        error = "no random bytes for the token";
        return false;
    }
    listener_.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (!listener_.Valid() ||
        ::bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_.Get(), 16) != 0 ||
        ::getsockname(listener_.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
        return false;
    }
    port_ = ntohs(address.sin_port);
    return true;
}

void KorvelRelay::Accept() {
    UniqueFd tcp(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!tcp.Valid() || connections_.size() >= kMaxConnections) {
        return;
    }
    Connection c;
    c.id = nextId_++;
    c.tcp = std::move(tcp);
    c.helloDeadline = Clock::now() + settings_.helloTimeout;
    connections_.push_back(std::move(c));
}

KorvelRelay::Connection* KorvelRelay::Find(int id) {
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [id](const Connection& c) { return c.id == id; });
    return it == connections_.end() ? nullptr : &*it;
}

bool KorvelRelay::Send(Connection& c, std::span<const std::uint8_t> frame) {
    c.outbox.Push(frame);
    return c.outbox.Flush(c.tcp.Get()) && c.outbox.Pending() <= kMaxPending;
}

bool KorvelRelay::ReadTcp(Connection& c) {
    std::vector<std::uint8_t> chunk(kReadChunk);
    ssize_t got;
    do {
        got = ::recv(c.tcp.Get(), chunk.data(), chunk.size(), MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    if (got == 0) {
        return false;
    }
    c.reader.Append({chunk.data(), static_cast<std::size_t>(got)});
    std::vector<std::uint8_t> frame;
    for (;;) {
        switch (c.reader.Take(frame)) {
        case FrameReader::Next::Incomplete:
            return true;
        case FrameReader::Next::Oversized:
            Complain("a client sent an oversized frame; closed");
            return false;
        case FrameReader::Next::Frame:
            break;
        }
        if (!OnFrame(c, frame)) {
            return false;
        }
    }
}

// Every stage expects one kind of frame from the client; anything else ends the connection.
bool KorvelRelay::OnFrame(Connection& c, const std::vector<std::uint8_t>& frame) {
    switch (c.stage) {
    case Stage::Hello:
        return OnHello(c, frame);
    case Stage::Idle:
        return OnRequest(c, frame);
    case Stage::AwaitingAnswer:
        return OnObjectAnswer(c, frame);
    case Stage::AwaitingDriver:
    case Stage::Events:
        break;
    }
    Complain("a client sent a frame out of turn; closed");
    return false;
}

bool KorvelRelay::OnHello(Connection& c, const std::vector<std::uint8_t>& frame) {
    Hello hello{};
    if (frame.size() != sizeof(hello)) {
        Complain("a client did not start with a hello; closed");
        return false;
    }
    std::memcpy(&hello, frame.data(), sizeof(hello));
    if (hello.magic != kHelloMagic || !SameToken({hello.token, kTokenLength}, token_)) {
        Complain("a client showed no valid token; closed");
        return false;
    }
    if (hello.role == static_cast<std::uint32_t>(Role::Device)) {
        return OpenDevice(c);
    }
    if (hello.role == static_cast<std::uint32_t>(Role::Events)) {
        return AttachEvents(c, static_cast<int>(hello.deviceId));
    }
    Complain("a client asked for an unknown role; closed");
    return false;
}

// A refused open is told before the connection ends, so the client can fail CreateFileA with
// the reason.
bool KorvelRelay::OpenDevice(Connection& c) {
    const DWORD status = ConnectToDriver(settings_.devicePath, c.driver);
    const Welcome welcome{status, static_cast<std::uint32_t>(c.id)};
    if (!Send(c, AsFrame(welcome))) {
        return false;
    }
    c.stage = Stage::Idle;
    return status == ERROR_SUCCESS;
}

bool KorvelRelay::AttachEvents(Connection& c, int deviceId) {
    Connection* device = Find(deviceId);
    if (!device || device->stage == Stage::Hello || device->stage == Stage::Events ||
        device->eventsLine != 0) {
        Complain("an events line named no free device connection; closed");
        return false;
    }
    device->eventsLine = c.id;
    c.deviceId = deviceId;
    c.stage = Stage::Events;
    return true;
}

bool KorvelRelay::OnRequest(Connection& c, const std::vector<std::uint8_t>& frame) {
    wire::Request request;
    if (!wire::ParseRequest(frame, request) || !SendToDriver(c.driver.Get(), frame)) {
        Complain("a request was malformed or nerith-devsim did not take it; closed");
        return false;
    }
    c.outLength = request.outLength;
    c.queries = 0;
    c.stage = Stage::AwaitingDriver;
    return true;
}

// The client has taken the caller's handle into its own process (status 0) or found nothing
// behind the value; nerith-devsim gets an eventfd to release, or the refusal.
bool KorvelRelay::OnObjectAnswer(Connection& c, const std::vector<std::uint8_t>& frame) {
    wire::ObjectAnswer answer;
    if (!wire::ParseObjectAnswer(frame, answer) || answer.handleValue != c.queriedHandle) {
        Complain("an object answer was malformed; closed");
        return false;
    }
    c.stage = Stage::AwaitingDriver;
    if (answer.status != ERROR_SUCCESS) {
        return SendToDriver(c.driver.Get(),
                            wire::EncodeObjectAnswer(ERROR_INVALID_HANDLE, answer.handleValue));
    }
    UniqueFd object(::eventfd(0, EFD_SEMAPHORE | EFD_CLOEXEC | EFD_NONBLOCK));
    if (!object.Valid()) {
        return SendToDriver(c.driver.Get(),
                            wire::EncodeObjectAnswer(ERROR_NOT_ENOUGH_MEMORY, answer.handleValue));
    }
    if (!SendToDriver(c.driver.Get(), wire::EncodeObjectAnswer(0, answer.handleValue),
                      object.Get())) {
        return false;
    }
    c.object = std::move(object);
    c.objectHandle = answer.handleValue;
    return true;
}

bool KorvelRelay::OnDriverPacket(Connection& c) {
    std::vector<std::uint8_t> packet;
    UniqueFd unwanted;
    switch (devsim::ReceivePacket(c.driver.Get(), wire::kMaxPacket + 1, packet, unwanted)) {
    case devsim::Received::Nothing:
        return true;
    case devsim::Received::Closed:
    case devsim::Received::Failed:
        return false;
    case devsim::Received::Packet:
        break;
    }
    wire::DriverMessage message;
    if (c.stage != Stage::AwaitingDriver ||
        !wire::ParseDriverMessage(packet, c.outLength, message)) {
        Complain("nerith-devsim sent a packet out of turn or malformed; closed");
        return false;
    }
    if (message.kind == wire::Kind::Reply) {
        c.stage = Stage::Idle;
        return Send(c, packet);
    }
    if (++c.queries > wire::kMaxObjectQueries) {
        Complain("nerith-devsim asked for too many objects; closed");
        return false;
    }
    c.queriedHandle = message.handleValue;
    c.stage = Stage::AwaitingAnswer;
    return Send(c, packet);
}

// One count off the eventfd (semaphore mode) is one release for the Events line.
bool KorvelRelay::OnRelease(Connection& c) {
    std::uint64_t count = 0;
    if (::read(c.object.Get(), &count, sizeof(count)) != static_cast<ssize_t>(sizeof(count))) {
        return true;
    }
    Connection* line = Find(c.eventsLine);
    const Release release{c.objectHandle};
    if (line && !Send(*line, AsFrame(release))) {
        Close(std::find_if(connections_.begin(), connections_.end(),
                           [line](const Connection& x) { return &x == line; }));
    }
    return true;
}

// A Device connection takes its Events line with it; an Events line that goes leaves its
// Device connection without one.
void KorvelRelay::Close(Iterator it) {
    if (it->stage == Stage::Events) {
        if (Connection* device = Find(it->deviceId)) {
            device->eventsLine = 0;
        }
    } else if (it->eventsLine != 0) {
        const int line = it->eventsLine;
        const auto events = std::find_if(connections_.begin(), connections_.end(),
                                         [line](const Connection& x) { return x.id == line; });
        if (events != connections_.end()) {
            connections_.erase(events);
        }
    }
    connections_.erase(it);
}

void KorvelRelay::CloseExpiredHellos() {
    const auto now = Clock::now();
    for (auto it = connections_.begin(); it != connections_.end();) {
        const auto next = std::next(it);
        if (it->stage == Stage::Hello && it->helloDeadline <= now) {
            Complain("a client showed no token in time; closed");
            Close(it);
        }
        it = next;
    }
}

int KorvelRelay::PollTimeout() const {
    int timeout = -1;
    const auto now = Clock::now();
    for (const Connection& c : connections_) {
        if (c.stage != Stage::Hello) {
            continue;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(c.helloDeadline - now);
        const int ms = static_cast<int>(std::max<std::int64_t>(0, left.count()));
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    return timeout;
}

int KorvelRelay::Run(int stopFd) {
    std::vector<pollfd> fds;
    std::vector<Watched> watched;
    for (;;) {
        fds = {{stopFd, POLLIN, 0}, {listener_.Get(), POLLIN, 0}};
        watched.clear();
        for (const Connection& c : connections_) {
            fds.push_back(
                {c.tcp.Get(), static_cast<short>(c.outbox.Empty() ? POLLIN : POLLIN | POLLOUT), 0});
            watched.push_back({c.id, Source::Tcp});
            if (c.driver.Valid()) {
                fds.push_back({c.driver.Get(), POLLIN, 0});
                watched.push_back({c.id, Source::Driver});
            }
            if (c.object.Valid() && c.eventsLine != 0) {
                fds.push_back({c.object.Get(), POLLIN, 0});
                watched.push_back({c.id, Source::Object});
            }
        }
        if (::poll(fds.data(), fds.size(), PollTimeout()) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("nerith-korvel-relay: poll");
            return 1;
        }
        if (fds[0].revents) {
            return 0;
        }
        for (std::size_t i = 0; i < watched.size(); ++i) {
            const short events = fds[i + 2].revents;
            auto it = std::find_if(connections_.begin(), connections_.end(),
                                   [&](const Connection& c) { return c.id == watched[i].id; });
            // An earlier entry of this round may have closed the connection.
            if (!events || it == connections_.end()) {
                continue;
            }
            bool alive = true;
            switch (watched[i].source) {
            case Source::Tcp:
                alive = (!(events & POLLOUT) || it->outbox.Flush(it->tcp.Get())) &&
                        (!(events & ~POLLOUT) || ReadTcp(*it));
                break;
            case Source::Driver:
                alive = OnDriverPacket(*it);
                break;
            case Source::Object:
                alive = OnRelease(*it);
                break;
            }
            if (!alive) {
                Close(it);
            }
        }
        CloseExpiredHellos();
        if (fds[1].revents & POLLIN) {
            Accept();
        }
    }
}

} // namespace korvel_relay
