#include "RogueServer.h"

#include "Sockets.h"
#include "app/DriverChannel.h"
#include "ispdll/IspProtocol.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace nerith::rogue {

namespace {

namespace wire = platform::devices::wire;

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

template <typename T> bool ReadInput(const wire::Request& request, T& value) {
    if (request.input.size() < sizeof(T)) {
        return false;
    }
    std::memcpy(&value, request.input.data(), sizeof(T));
    return true;
}

std::uint32_t FirstWord(const wire::Request& request) {
    std::uint32_t word = 0;
    std::memcpy(&word, request.input.data(), sizeof(word));
    return word;
}

} // namespace

void Report(const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

bool RogueServer::Listen(std::string& error) {
    listener_ = devsim::ListenOn(options_.folder + "/" + options_.name, error);
    if (!listener_.Valid()) {
        return false;
    }
    Report("listening " + options_.folder + "/" + options_.name);
    return true;
}

void RogueServer::Run() {
    std::vector<pollfd> fds;
    for (;;) {
        fds = {{listener_.Get(), POLLIN, 0}};
        for (const Client& client : clients_) {
            fds.push_back({client.socket.Get(), POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        auto client = clients_.begin();
        for (std::size_t i = 1; i < fds.size(); ++i) {
            const auto next = std::next(client);
            if (fds[i].revents && !Serve(*client)) {
                clients_.erase(client);
            }
            client = next;
        }
        if (fds[0].revents & POLLIN) {
            Accept();
        }
    }
}

void RogueServer::Accept() {
    devsim::UniqueFd socket(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!socket.Valid()) {
        return;
    }
    Report("connected");
    clients_.push_back({std::move(socket), false});
}

bool RogueServer::Serve(Client& client) {
    std::vector<std::uint8_t> packet;
    devsim::UniqueFd fd;
    switch (devsim::ReceivePacket(client.socket.Get(), wire::kMaxPacket + 1, packet, fd)) {
    case devsim::Received::Nothing:
        return true;
    case devsim::Received::Closed:
    case devsim::Received::Failed:
        Report("closed");
        return false;
    case devsim::Received::Packet:
        break;
    }
    if (fd.Valid()) {
        Report("descriptor");
    }
    if (client.awaitingObject) {
        client.awaitingObject = false;
        return Quiet() || Reply(client, fd.Valid() ? 0 : ERROR_INVALID_HANDLE, {});
    }
    wire::Request request;
    if (!wire::ParseRequest(packet, request)) {
        Report("malformed");
        return Quiet() || Reply(client, ERROR_INVALID_PARAMETER, {});
    }
    return Answer(client, request);
}

bool RogueServer::Answer(Client& client, const wire::Request& request) {
    Report("request " + Hex(request.code));
    if (request.code == isp_protocol::kProgram) {
        CountProgramRequest();
        Program(request);
    }
    if (Quiet()) {
        return true;
    }
    if (request.code == IOCTL_REGISTER_SEMAPHORE && request.input.size() == 4) {
        client.awaitingObject = true;
        return devsim::SendPacket(client.socket.Get(), wire::EncodeObjectQuery(FirstWord(request)));
    }
    return Reply(client, 0, Output(request));
}

// What a Nerith at version 1.63 would return: the version bytes, the flash it was asked to
// read back, zeros for anything else.
std::vector<std::uint8_t> RogueServer::Output(const wire::Request& request) const {
    std::vector<std::uint8_t> output(request.outLength, 0);
    isp_protocol::ReadRange range{};
    if (request.code == IOCTL_GET_FW_VERSION && output.size() >= 2) {
        output[0] = 1;
        output[1] = 63;
    } else if (request.code == isp_protocol::kRead && ReadInput(request, range) &&
               range.first + output.size() <= flash_.size()) {
        std::memcpy(output.data(), flash_.data() + range.first, output.size());
    }
    return output;
}

void RogueServer::Program(const wire::Request& request) {
    isp_protocol::BlockHeader header{};
    if (!ReadInput(request, header) || request.input.size() != sizeof(header) + header.length ||
        header.first + std::size_t{header.length} > flash_.size()) {
        return;
    }
    std::memcpy(flash_.data() + header.first, request.input.data() + sizeof(header), header.length);
}

bool RogueServer::Reply(const Client& client, std::uint32_t status,
                        const std::vector<std::uint8_t>& output) const {
    return devsim::SendPacket(client.socket.Get(), wire::EncodeReply(status, output));
}

// The moment it falls silent, on the monotonic clock every process shares, so a test can time
// the updater's reaction from it.
void RogueServer::CountProgramRequest() {
    if (stalled_ || !options_.stallAtProgram || programRequests_++ != *options_.stallAtProgram) {
        return;
    }
    stalled_ = true;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    Report("stalled " +
           std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

} // namespace nerith::rogue
