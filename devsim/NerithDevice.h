// The simulated Nerith behind its driver: the firmware that answers the driver's control
// codes, the MCU in programming mode that answers the ISP library, and its flash.
#pragma once

#include "Faults.h"
#include "FlashMemory.h"
#include "TimingModel.h"
#include "UniqueFd.h"
#include "platform/internal/device_wire.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace devsim {

enum class Mode { Firmware, Programming };
// How the firmware answers the version request: bytes 0 and 1 straight away, or zeros to
// every first request and the bytes to the repeat (the form the updater reads as a word).
enum class VersionForm { First, Second };

// What the driver knows about one open handle. An ISP open allows erasing and programming
// the region first..last and the vector area vectorFirst..0xFFFF, nothing else.
struct ClientState {
    int id = 0;
    bool ispOpen = false;
    unsigned versionRequests = 0;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::uint32_t vectorFirst = 0x10000;
};

struct Outcome {
    enum class Action { Reply, QueryObject, Vanish };
    Action action = Action::Reply;
    std::uint32_t status = 0;
    std::vector<std::uint8_t> output;
    std::uint32_t handleValue = 0;
    bool freezeFirst = false; // the driver process stops before it delivers this
};

class NerithDevice {
public:
    static constexpr std::size_t kMaxPendingEvents = 1024;
    static constexpr std::uint32_t kVersionAddress = 0xDE00;
    static constexpr std::uint32_t kVersionReplySize = 100;

    Outcome Handle(ClientState& client, const platform::devices::wire::Request& request);
    // Ends a semaphore registration once the client handed the object over (or did not).
    Outcome FinishRegistration(const ClientState& client, UniqueFd semaphore);
    void ClientClosed(const ClientState& client);
    // Power cycle: programming mode ends and the firmware boots from flash.
    void Replug();
    // Queues an event word and releases the registered semaphore; "" or the reason it failed.
    std::string EmitEvent(std::uint32_t word);
    void CountMalformed() { ++stats_["malformed"]; }

    FlashMemory& Flash() { return flash_; }
    Faults& InjectedFaults() { return faults_; }
    TimingModel& Timing() { return timing_; }
    void SetVersionForm(VersionForm form) { versionForm_ = form; }
    Mode CurrentMode() const { return mode_; }
    bool SemaphoreRegistered() const { return semaphore_.Valid(); }
    std::size_t PendingEvents() const { return events_.size(); }
    const std::map<std::string, unsigned>& Stats() const { return stats_; }

private:
    using Input = std::span<const std::uint8_t>;

    Outcome RegisterSemaphore(Input input, std::uint32_t outLength);
    Outcome GetEvent(Input input, std::uint32_t outLength);
    Outcome GetVersion(ClientState& client, Input input, std::uint32_t outLength);
    Outcome EnterIcp(Input input, std::uint32_t outLength);
    Outcome IspOpen(ClientState& client, Input input, std::uint32_t outLength);
    Outcome IspErase(const ClientState& client, Input input, std::uint32_t outLength);
    Outcome IspMassErase(const ClientState& client, Input input, std::uint32_t outLength);
    Outcome IspProgram(const ClientState& client, Input input, std::uint32_t outLength);
    Outcome IspVerify(const ClientState& client, Input input, std::uint32_t outLength);
    Outcome IspRead(const ClientState& client, Input input, std::uint32_t outLength);
    std::uint32_t IspReady(const ClientState& client) const;
    // ERROR_SUCCESS when every byte of first..last lies where the client's open allows writes.
    static std::uint32_t IspAllowed(const ClientState& client, std::uint32_t first,
                                    std::uint32_t last);

    FlashMemory flash_;
    Faults faults_;
    TimingModel timing_;
    VersionForm versionForm_ = VersionForm::First;
    Mode mode_ = Mode::Firmware;
    UniqueFd semaphore_;
    int semaphoreOwner_ = 0;
    std::deque<std::uint32_t> events_;
    unsigned ispOpens_ = 0;
    unsigned verifyBlocks_ = 0;
    unsigned programBlocks_ = 0;
    std::map<std::string, unsigned> stats_;
};

} // namespace devsim
