// nerith-korvel-relay between a TCP client that plays winekorvel.dll and a real nerith-devsim.
#include "DevsimProcess.h"
#include "KorvelRelay.h"
#include "RelayProtocol.h"
#include "platform/internal/device_wire.h"
#include "platform/wintypes.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using korvel_relay::Role;
using Bytes = std::vector<std::uint8_t>;
namespace wire = platform::devices::wire;

constexpr std::uint32_t kRegisterSemaphore = 0x222400;
constexpr std::uint32_t kGetEvent = 0x222408;
constexpr std::uint32_t kGetVersion = 0x222510;
// Long enough for a busy machine; a healthy exchange takes milliseconds.
constexpr auto kAnswerTimeout = 10s;
constexpr auto kHelloTimeout = 300ms;

template <typename T> Bytes Frame(const T& value) {
    Bytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

template <typename T> T Read(const Bytes& frame) {
    T value{};
    std::memcpy(&value, frame.data(), sizeof(T));
    return value;
}

// The relay on a thread of its own, stopped through an eventfd.
class RunningRelay {
public:
    explicit RunningRelay(const std::string& devicePath)
        : relay_({devicePath, kHelloTimeout}), stop_(::eventfd(0, EFD_CLOEXEC)) {
        std::string error;
        started_ = relay_.Start(error);
        if (started_) {
            thread_ = std::thread([this] { relay_.Run(stop_.Get()); });
        }
    }
    ~RunningRelay() {
        const std::uint64_t one = 1;
        if (::write(stop_.Get(), &one, sizeof(one)) == sizeof(one) && thread_.joinable()) {
            thread_.join();
        }
    }
    bool Started() const { return started_; }
    std::uint16_t Port() const { return relay_.Port(); }
    const std::string& Token() const { return relay_.Token(); }

private:
    korvel_relay::KorvelRelay relay_;
    devsim::UniqueFd stop_;
    bool started_ = false;
    std::thread thread_;
};

// What winekorvel.dll does on its side of the loopback connection.
class Client {
public:
    explicit Client(std::uint16_t port)
        : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ =
            ::connect(socket_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    bool Connected() const { return connected_; }

    bool SendRaw(const Bytes& bytes) {
        return ::send(socket_.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    bool Send(const Bytes& frame) {
        const auto length = static_cast<std::uint32_t>(frame.size());
        Bytes bytes(4);
        std::memcpy(bytes.data(), &length, 4);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        return SendRaw(bytes);
    }
    bool Hello(Role role, const std::string& token, std::uint32_t deviceId = 0) {
        korvel_relay::Hello hello{
            korvel_relay::kHelloMagic, static_cast<std::uint32_t>(role), deviceId, {}};
        std::memcpy(hello.token, token.data(), std::min(token.size(), sizeof(hello.token)));
        return Send(Frame(hello));
    }
    // The next frame; nullopt when the relay closed the connection or sent nothing in time.
    std::optional<Bytes> Receive(std::chrono::milliseconds timeout = kAnswerTimeout) {
        Bytes length;
        if (!ReceiveExactly(4, length, timeout)) {
            return std::nullopt;
        }
        Bytes frame;
        if (!ReceiveExactly(Read<std::uint32_t>(length), frame, timeout)) {
            return std::nullopt;
        }
        return frame;
    }
    // True when the relay closes the connection, with nothing sent before, within the time.
    bool ClosedByRelay() {
        Bytes byte;
        closed_ = false;
        return !ReceiveExactly(1, byte, kAnswerTimeout) && closed_;
    }
    std::optional<Bytes> Exchange(std::uint32_t code, const Bytes& input, std::uint32_t outLength) {
        return Send(wire::EncodeRequest(code, input, outLength)) ? Receive() : std::nullopt;
    }

private:
    bool ReceiveExactly(std::size_t size, Bytes& bytes, std::chrono::milliseconds timeout) {
        bytes.resize(size);
        std::size_t got = 0;
        while (got < size) {
            pollfd entry{socket_.Get(), POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(timeout.count())) != 1) {
                return false;
            }
            const ssize_t n = ::recv(socket_.Get(), bytes.data() + got, size - got, 0);
            if (n <= 0) {
                closed_ = true;
                return false;
            }
            got += static_cast<std::size_t>(n);
        }
        return true;
    }

    devsim::UniqueFd socket_;
    bool connected_ = false;
    bool closed_ = false;
};

struct ParsedReply {
    std::uint32_t status = 0xFFFFFFFF;
    Bytes output;
};

ParsedReply ReplyOf(const std::optional<Bytes>& frame, std::uint32_t outLength) {
    wire::DriverMessage message;
    if (!frame || !wire::ParseDriverMessage(*frame, outLength, message) ||
        message.kind != wire::Kind::Reply) {
        return {};
    }
    return {message.status, Bytes(message.output.begin(), message.output.end())};
}

std::optional<std::uint32_t> QueriedHandle(const std::optional<Bytes>& frame) {
    wire::DriverMessage message;
    if (!frame || !wire::ParseDriverMessage(*frame, 0, message) ||
        message.kind != wire::Kind::ObjectQuery) {
        return std::nullopt;
    }
    return message.handleValue;
}

class RelayTest : public ::testing::Test {
protected:
    RelayTest() : devsim_({"--image-version=1,63"}), relay_(devsim_.Folder() + "/korvel") {}

    void SetUp() override {
        ASSERT_TRUE(devsim_.Running()) << devsim_.Error();
        ASSERT_TRUE(relay_.Started());
    }

    // A Device connection that was welcomed; its id in `id`.
    std::unique_ptr<Client> OpenDevice(std::uint32_t* id = nullptr) {
        auto client = std::make_unique<Client>(relay_.Port());
        if (!client->Connected() || !client->Hello(Role::Device, relay_.Token())) {
            return nullptr;
        }
        const auto welcome = client->Receive();
        if (!welcome || welcome->size() != sizeof(korvel_relay::Welcome)) {
            return nullptr;
        }
        const auto w = Read<korvel_relay::Welcome>(*welcome);
        if (w.status != 0) {
            return nullptr;
        }
        if (id) {
            *id = w.deviceId;
        }
        return client;
    }

    // Registers the semaphore value `handle`: the relay asks for it, the client hands it over.
    ParsedReply Register(Client& device, std::uint32_t handle, std::uint32_t answerStatus = 0) {
        if (QueriedHandle(device.Exchange(kRegisterSemaphore, Frame(handle), 0)) != handle) {
            return {};
        }
        device.Send(wire::EncodeObjectAnswer(answerStatus, handle));
        return ReplyOf(device.Receive(), 0);
    }

    nerith::test::DevsimProcess devsim_;
    RunningRelay relay_;
};

TEST_F(RelayTest, AWelcomedDeviceConnectionReachesTheSimulator) {
    auto device = OpenDevice();
    ASSERT_TRUE(device);
    const ParsedReply reply = ReplyOf(device->Exchange(kGetVersion, Bytes(100, 0), 100), 100);
    ASSERT_EQ(reply.status, 0u);
    ASSERT_EQ(reply.output.size(), 100u);
    EXPECT_EQ(reply.output[0], 1);
    EXPECT_EQ(reply.output[1], 63);
    // The simulator's own answer to a code it does not know comes back unchanged.
    EXPECT_EQ(ReplyOf(device->Exchange(0x2227FC, {}, 0), 0).status,
              static_cast<std::uint32_t>(ERROR_INVALID_FUNCTION));
}

TEST_F(RelayTest, AClientWithoutTheTokenIsClosedUnanswered) {
    const struct {
        const char* what;
        Bytes frame;
    } cases[] = {
        {"wrong token", Frame(korvel_relay::Hello{korvel_relay::kHelloMagic, 1, 0, {}})},
        {"short hello", Bytes(relay_.Token().begin(), relay_.Token().end())},
        {"empty frame", Bytes{}},
    };
    for (const auto& c : cases) {
        Client client(relay_.Port());
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(client.Send(c.frame));
        EXPECT_TRUE(client.ClosedByRelay()) << c.what;
    }
    Client unknownRole(relay_.Port());
    ASSERT_TRUE(unknownRole.Hello(static_cast<Role>(7), relay_.Token()));
    EXPECT_TRUE(unknownRole.ClosedByRelay());
    Client almost(relay_.Port());
    std::string token = relay_.Token();
    token.back() = token.back() == '0' ? '1' : '0';
    ASSERT_TRUE(almost.Hello(Role::Device, token));
    EXPECT_TRUE(almost.ClosedByRelay());
    EXPECT_EQ(devsim_.Count("fw_version"), 0u);
    // None of them held up the rightful client.
    EXPECT_TRUE(OpenDevice());
}

TEST_F(RelayTest, AClientThatShowsNothingIsDroppedAfterTheHelloTimeOut) {
    Client silent(relay_.Port());
    ASSERT_TRUE(silent.Connected());
    Client partial(relay_.Port());
    ASSERT_TRUE(partial.SendRaw({76, 0}));
    EXPECT_TRUE(silent.ClosedByRelay());
    EXPECT_TRUE(partial.ClosedByRelay());
}

TEST_F(RelayTest, BrokenFramesEndTheConnection) {
    auto oversized = OpenDevice();
    ASSERT_TRUE(oversized);
    ASSERT_TRUE(oversized->SendRaw(Frame(korvel_relay::kMaxFrame + 1)));
    EXPECT_TRUE(oversized->ClosedByRelay());

    auto malformed = OpenDevice();
    ASSERT_TRUE(malformed);
    Bytes request = wire::EncodeRequest(kGetVersion, Bytes(100, 0), 100);
    request.pop_back(); // one byte short of the input length it claims
    ASSERT_TRUE(malformed->Send(request));
    EXPECT_TRUE(malformed->ClosedByRelay());

    auto outOfTurn = OpenDevice();
    ASSERT_TRUE(outOfTurn);
    ASSERT_TRUE(outOfTurn->Send(wire::EncodeObjectAnswer(0, 5)));
    EXPECT_TRUE(outOfTurn->ClosedByRelay());
    EXPECT_EQ(devsim_.Count("fw_version"), 0u);
}

TEST_F(RelayTest, AHandedOverSemaphoreIsReleasedOverTheEventsLineOncePerEvent) {
    std::uint32_t id = 0;
    auto device = OpenDevice(&id);
    ASSERT_TRUE(device);
    ASSERT_EQ(Register(*device, 0x84).status, 0u);
    // Events the simulator signals before the line is there wait for it.
    ASSERT_EQ(devsim_.Control("event 0x11"), "ok");
    ASSERT_EQ(devsim_.Control("event 0x22"), "ok");
    Client events(relay_.Port());
    ASSERT_TRUE(events.Hello(Role::Events, relay_.Token(), id));
    for (int i = 0; i < 2; ++i) {
        const auto release = events.Receive();
        ASSERT_TRUE(release && release->size() == sizeof(korvel_relay::Release));
        EXPECT_EQ(Read<korvel_relay::Release>(*release).handleValue, 0x84u);
    }
    EXPECT_FALSE(events.Receive(200ms)) << "one release per event, no more";
    const ParsedReply event = ReplyOf(device->Exchange(kGetEvent, Bytes(4, 0), 4), 4);
    ASSERT_EQ(event.status, 0u);
    EXPECT_EQ(Read<std::uint32_t>(event.output), 0x11u);
    // The line ends with its device connection.
    device.reset();
    EXPECT_TRUE(events.ClosedByRelay());
}

TEST_F(RelayTest, AHandleTheClientCannotTakeFailsTheRegistration) {
    auto device = OpenDevice();
    ASSERT_TRUE(device);
    EXPECT_EQ(Register(*device, 0x84, ERROR_INVALID_HANDLE).status,
              static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    EXPECT_NE(devsim_.Control("state").find("semaphore=0"), std::string::npos);
    // An answer for another handle than the one asked about ends the connection.
    ASSERT_EQ(QueriedHandle(device->Exchange(kRegisterSemaphore, Frame(0x88u), 0)), 0x88u);
    ASSERT_TRUE(device->Send(wire::EncodeObjectAnswer(0, 0x8C)));
    EXPECT_TRUE(device->ClosedByRelay());
}

TEST_F(RelayTest, AnEventsLineNeedsADeviceConnectionWithoutOne) {
    std::uint32_t id = 0;
    auto device = OpenDevice(&id);
    ASSERT_TRUE(device);
    Client unknown(relay_.Port());
    ASSERT_TRUE(unknown.Hello(Role::Events, relay_.Token(), id + 100));
    EXPECT_TRUE(unknown.ClosedByRelay());
    Client first(relay_.Port());
    ASSERT_TRUE(first.Hello(Role::Events, relay_.Token(), id));
    Client second(relay_.Port());
    ASSERT_TRUE(second.Hello(Role::Events, relay_.Token(), id));
    EXPECT_TRUE(second.ClosedByRelay());
}

TEST_F(RelayTest, AnOpenFailsWithTheReasonWhenTheSimulatorCannotBeReached) {
    const auto welcomeStatus = [this] {
        Client client(relay_.Port());
        client.Hello(Role::Device, relay_.Token());
        const auto welcome = client.Receive();
        const bool closed = client.ClosedByRelay();
        return welcome && closed ? Read<korvel_relay::Welcome>(*welcome).status : 0xFFFFFFFFu;
    };
    ASSERT_EQ(devsim_.Control("unplug"), "ok");
    EXPECT_EQ(welcomeStatus(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(devsim_.Control("replug"), "ok");
    ASSERT_EQ(::chmod(devsim_.Folder().c_str(), 0770), 0);
    EXPECT_EQ(welcomeStatus(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(::chmod(devsim_.Folder().c_str(), 0700), 0);
    EXPECT_TRUE(OpenDevice());
}

TEST_F(RelayTest, TheSimulatorVanishingClosesItsConnections) {
    auto device = OpenDevice();
    ASSERT_TRUE(device);
    ASSERT_EQ(devsim_.Stop(), 0);
    EXPECT_TRUE(device->ClosedByRelay());
}

} // namespace
