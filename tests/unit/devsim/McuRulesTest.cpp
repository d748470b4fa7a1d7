// The simulated MCU writes only where the ISP open allowed it, and refuses a program request
// when a test asks it to: an answer with an error, unlike a device that vanishes.
#include "NerithDevice.h"
#include "Settings.h"
#include "isp/IcpControlCode.h"
#include "ispdll/IspProtocol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using devsim::NerithDevice;
using devsim::Outcome;
namespace proto = isp_protocol;

constexpr std::uint32_t kDenied = ERROR_ACCESS_DENIED;

template <typename T> std::vector<std::uint8_t> Bytes(const T& value) {
    std::vector<std::uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

// A program request for `length` bytes of `value` at `first`, every page marked.
std::vector<std::uint8_t> Block(std::uint32_t first, std::uint32_t length, std::uint8_t value) {
    proto::BlockHeader header{static_cast<std::uint16_t>(first),
                              static_cast<std::uint16_t>(length),
                              {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    std::vector<std::uint8_t> bytes = Bytes(header);
    bytes.resize(sizeof(header) + length, value);
    return bytes;
}

proto::OpenParameters Open(std::uint32_t start, std::uint32_t last, std::uint32_t vectorFirst) {
    return {64, 64, 6144, start, last, vectorFirst, 0xFF06, 1, 4, {0, 0}, 0};
}

class McuRules : public ::testing::Test {
protected:
    std::uint32_t Status(devsim::ClientState& client, std::uint32_t code,
                         const std::vector<std::uint8_t>& input) {
        return device_.Handle(client, {code, 0, input}).status;
    }
    void EnterAndOpen(devsim::ClientState& client, const proto::OpenParameters& open) {
        if (device_.CurrentMode() != devsim::Mode::Programming) {
            ASSERT_EQ(Status(client, IOCTL_ENTER_ICP, {1}), 0u);
        }
        ASSERT_EQ(Status(client, proto::kOpen, Bytes(open)), 0u);
    }
    std::uint32_t Erase(devsim::ClientState& client, std::uint32_t first, std::uint32_t last) {
        const proto::EraseRange range{static_cast<std::uint16_t>(first),
                                      static_cast<std::uint16_t>(last), 512};
        return Status(client, proto::kErase, Bytes(range));
    }
    // Fills the flash with `value` outside the MCU's own rules.
    void Fill(std::uint8_t value) {
        for (std::uint32_t a = 0; a < proto::kAddressSpace; ++a) {
            device_.Flash().Load(a, value);
        }
    }
    // Addresses in first..last whose byte is not `value`.
    std::size_t Differing(std::uint32_t first, std::uint32_t last, std::uint8_t value) {
        std::size_t count = 0;
        for (std::uint32_t a = first; a <= last; ++a) {
            count += device_.Flash().At(a) != value ? 1 : 0;
        }
        return count;
    }

    NerithDevice device_;
    devsim::ClientState client_{1, false, 0};
};

struct RangeCase {
    const char* what;
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t status;
};

// Flash #1 of the updater's profile and its vector area, and ranges that reach one byte past.
const RangeCase kRanges[] = {
    {"the whole region", 0x7000, 0xEDFF, 0},
    {"one block inside", 0x7200, 0x73FF, 0},
    {"the vector area", 0xFFDE, 0xFFFF, 0},
    {"one byte below the region", 0x6FFF, 0x7000, kDenied},
    {"one byte past the region", 0xEDFF, 0xEE00, kDenied},
    {"one byte below the vectors", 0xFFDD, 0xFFFF, kDenied},
    {"between region and vectors", 0xEE00, 0xEFFF, kDenied},
    {"from the region into the vectors", 0xED00, 0xFFFF, kDenied},
    {"everything", 0x0000, 0xFFFF, kDenied},
};

TEST_F(McuRules, EraseOnlyWhereTheOpenAllowed) {
    for (const RangeCase& c : kRanges) {
        EnterAndOpen(client_, Open(0x7000, 0xEDFF, 0xFFDE));
        Fill(0x00);
        EXPECT_EQ(Erase(client_, c.first, c.last), c.status) << c.what;
        const std::size_t erased = Differing(0, 0xFFFF, 0x00);
        if (c.status == 0) {
            EXPECT_EQ(Differing(c.first, c.last, 0xFF), 0u) << c.what;
        } else {
            EXPECT_EQ(erased, 0u) << c.what << ": a refused erase changed the flash";
        }
    }
}

TEST_F(McuRules, ProgramOnlyWhereTheOpenAllowed) {
    for (const RangeCase& c : kRanges) {
        const std::uint32_t length = c.last - c.first + 1;
        if (proto::PagesTouched(c.first, length) > proto::kMaxBlockPages) {
            continue; // not one block request; the erase table covers these ranges
        }
        EnterAndOpen(client_, Open(0x7000, 0xEDFF, 0xFFDE));
        Fill(0xFF);
        EXPECT_EQ(Status(client_, proto::kProgram, Block(c.first, length, 0x5A)), c.status)
            << c.what;
        const std::uint8_t expected = c.status == 0 ? 0x5A : 0xFF;
        EXPECT_EQ(Differing(c.first, c.last, expected), 0u) << c.what;
        EXPECT_EQ(Differing(0, 0xFFFF, 0xFF), c.status == 0 ? length : 0u) << c.what;
    }
}

// Each handle is held to its own open, and a later open replaces the earlier one.
TEST_F(McuRules, TheAllowedRangeIsTheLatestOpenOfThatHandle) {
    devsim::ClientState other{2, false, 0};
    EnterAndOpen(client_, Open(0x7000, 0xEDFF, 0xFFDE));
    EnterAndOpen(other, Open(0x1000, 0x1FFF, 0xFFDE));
    EXPECT_EQ(Erase(other, 0x7000, 0x71FF), kDenied);
    EXPECT_EQ(Erase(client_, 0x7000, 0x71FF), 0u);
    EXPECT_EQ(Erase(client_, 0x1000, 0x11FF), kDenied);
    EXPECT_EQ(Erase(other, 0x1000, 0x11FF), 0u);

    EnterAndOpen(client_, Open(0x1000, 0x1FFF, 0xFFFF));
    EXPECT_EQ(Erase(client_, 0x7000, 0x71FF), kDenied);
    EXPECT_EQ(Erase(client_, 0xFFDE, 0xFFFF), kDenied) << "the vector area moved to 0xFFFF";
    EXPECT_EQ(Erase(client_, 0xFFFF, 0xFFFF), 0u);
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x1FC0, 64, 0x11)), 0u);
}

// Whichever of the 63 blocks of Flash #1 the MCU refuses, it answers that request with an
// error and writes nothing of it; the requests before and after it are programmed.
TEST_F(McuRules, RefusesTheProgramRequestItWasToldToAtAnyBlock) {
    for (unsigned k = 0; k < 63; ++k) {
        NerithDevice device;
        ASSERT_EQ(
            devsim::ApplySetting(device, "fault", "mcu-refuses-program-at:" + std::to_string(k)),
            "");
        devsim::ClientState client{1, false, 0};
        const auto send = [&](std::uint32_t code, const std::vector<std::uint8_t>& input) {
            return device.Handle(client, {code, 0, input});
        };
        ASSERT_EQ(send(IOCTL_ENTER_ICP, {1}).status, 0u);
        ASSERT_EQ(send(proto::kOpen, Bytes(Open(0x7000, 0xEDFF, 0xFFDE))).status, 0u);
        for (unsigned block = 0; block < 63; ++block) {
            const std::uint32_t first = 0x7000 + block * 512;
            const Outcome outcome = send(proto::kProgram, Block(first, 512, 0x00));
            EXPECT_EQ(outcome.action, Outcome::Action::Reply) << k << "/" << block;
            EXPECT_EQ(outcome.status, block == k ? ERROR_WRITE_FAULT : 0u) << k << "/" << block;
            const std::uint8_t expected = block == k ? 0xFF : 0x00;
            for (std::uint32_t a = first; a < first + 512; ++a) {
                ASSERT_EQ(device.Flash().At(a), expected) << k << "/" << block << " at " << a;
            }
        }
    }
}

TEST_F(McuRules, TheRefusalCountsFromTheLatestEntryIntoProgrammingMode) {
    ASSERT_EQ(devsim::ApplySetting(device_, "fault", "mcu-refuses-program-at:1"), "");
    EnterAndOpen(client_, Open(0x7000, 0xEDFF, 0xFFDE));
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x7000, 64, 0x00)), 0u);
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x7040, 64, 0x00)),
              static_cast<std::uint32_t>(ERROR_WRITE_FAULT));
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x7080, 64, 0x00)), 0u);
    // A request the open does not allow is no block the MCU took on: it does not count.
    device_.Replug();
    EnterAndOpen(client_, Open(0x7000, 0xEDFF, 0xFFDE));
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x6000, 64, 0x00)), kDenied);
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x7000, 64, 0x00)), 0u);
    EXPECT_EQ(Status(client_, proto::kProgram, Block(0x7040, 64, 0x00)),
              static_cast<std::uint32_t>(ERROR_WRITE_FAULT));
}

TEST_F(McuRules, TheRefusalIsItsOwnFault) {
    struct Case {
        const char* value;
        bool accepted;
    };
    const Case cases[] = {
        {"mcu-refuses-program-at:0", true},   {"mcu-refuses-program-at:62", true},
        {"mcu-refuses-program-at:", false},   {"mcu-refuses-program-at:x", false},
        {"mcu-refuses-program-at:-1", false}, {"mcu-refuses-program", false},
    };
    for (const Case& c : cases) {
        NerithDevice device;
        EXPECT_EQ(devsim::ApplySetting(device, "fault", c.value).empty(), c.accepted) << c.value;
        const devsim::Faults& faults = device.InjectedFaults();
        EXPECT_EQ(faults.programRefusedAt.has_value(), c.accepted) << c.value;
        EXPECT_FALSE(faults.programFailsAt.has_value()) << c.value;
        EXPECT_FALSE(faults.vanishesAt.has_value()) << c.value;
    }
}

} // namespace
