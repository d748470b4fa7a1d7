// The simulated device's driver, firmware and MCU, driven request by request in-process.
#include "NerithDevice.h"
#include "app/DriverChannel.h"
#include "isp/IcpControlCode.h"
#include "ispdll/IspProtocol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using devsim::NerithDevice;
using devsim::Outcome;
namespace proto = isp_protocol;

template <typename T> std::vector<std::uint8_t> Bytes(const T& value) {
    std::vector<std::uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

std::vector<std::uint8_t> Block(std::uint16_t first, std::vector<std::uint8_t> data,
                                std::uint64_t mask = ~0ull) {
    proto::BlockHeader header{first, static_cast<std::uint16_t>(data.size()), {}};
    std::memcpy(header.pageMask, &mask, sizeof(header.pageMask));
    std::vector<std::uint8_t> bytes(sizeof(header) + data.size());
    std::memcpy(bytes.data(), &header, sizeof(header));
    for (std::size_t i = 0; i < data.size(); ++i) {
        bytes[sizeof(header) + i] = data[i];
    }
    return bytes;
}

class SimulatedNerith : public ::testing::Test {
protected:
    Outcome Send(std::uint32_t code, const std::vector<std::uint8_t>& input,
                 std::uint32_t outLength = 0) {
        return device_.Handle(client_, {code, outLength, input});
    }
    std::uint32_t Status(std::uint32_t code, const std::vector<std::uint8_t>& input,
                         std::uint32_t outLength = 0) {
        return Send(code, input, outLength).status;
    }
    void OpenIsp() {
        ASSERT_EQ(Status(IOCTL_ENTER_ICP, {1}), 0u);
        ASSERT_EQ(Status(proto::kOpen, Bytes(OpenParameters())), 0u);
    }
    static proto::OpenParameters OpenParameters() {
        return {64, 64, 6144, 0x7000, 0xEDFF, 0xFFDE, 0xFF06, 1, 4, {0, 0}, 0};
    }
    std::vector<std::uint8_t> Read(std::uint16_t first, std::uint16_t length) {
        return Send(proto::kRead, Bytes(proto::ReadRange{first, length}), length).output;
    }

    NerithDevice device_;
    devsim::ClientState client_{1, false, 0};
};

TEST_F(SimulatedNerith, ControlCodesTakeExactlyTheirBuffers) {
    struct Case {
        std::uint32_t code;
        std::size_t in;
        std::uint32_t out;
    };
    const Case wrong[] = {
        {IOCTL_REGISTER_SEMAPHORE, 8, 0},
        {IOCTL_REGISTER_SEMAPHORE, 4, 4},
        {IOCTL_GET_EVENT, 4, 8},
        {IOCTL_GET_EVENT, 0, 4},
        {IOCTL_GET_FW_VERSION, 100, 99},
        {IOCTL_GET_FW_VERSION, 4, 100},
        {IOCTL_ENTER_ICP, 2, 0},
        {IOCTL_ENTER_ICP, 1, 1},
        {proto::kOpen, 35, 0},
        {proto::kErase, 8, 4},
        {proto::kMassErase, 1, 0},
        {proto::kClose, 4, 0},
    };
    for (const Case& c : wrong) {
        EXPECT_EQ(Status(c.code, std::vector<std::uint8_t>(c.in, 1), c.out),
                  static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER))
            << std::hex << c.code << " in " << c.in << " out " << c.out;
    }
    EXPECT_EQ(Status(IOCTL_ENTER_ICP, {0x02}), static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(device_.CurrentMode(), devsim::Mode::Firmware);
    EXPECT_EQ(Status(0x222FFC, {}), static_cast<std::uint32_t>(ERROR_INVALID_FUNCTION));
}

TEST_F(SimulatedNerith, VersionComesFromFlashWhileTheFirmwareRuns) {
    device_.Flash().Load(0xDE00, 1);
    device_.Flash().Load(0xDE01, 64);
    Outcome reply = Send(IOCTL_GET_FW_VERSION, std::vector<std::uint8_t>(100), 100);
    ASSERT_EQ(reply.status, 0u);
    ASSERT_EQ(reply.output.size(), 100u);
    EXPECT_EQ(reply.output[0], 1);
    EXPECT_EQ(reply.output[1], 64);

    device_.SetVersionForm(devsim::VersionForm::Second);
    client_ = {2, false, 0};
    EXPECT_EQ(Send(IOCTL_GET_FW_VERSION, std::vector<std::uint8_t>(100), 100).output[0], 0)
        << "every first request of a handle gets zeros in the second form";
    EXPECT_EQ(Send(IOCTL_GET_FW_VERSION, std::vector<std::uint8_t>(100), 100).output[1], 64);

    ASSERT_EQ(Status(IOCTL_ENTER_ICP, {1}), 0u);
    EXPECT_EQ(Status(IOCTL_GET_FW_VERSION, std::vector<std::uint8_t>(100), 100),
              static_cast<std::uint32_t>(ERROR_NOT_READY));
    device_.Replug();
    EXPECT_EQ(Status(IOCTL_GET_FW_VERSION, std::vector<std::uint8_t>(100), 100), 0u);
}

TEST_F(SimulatedNerith, EventsQueueInOrderOnlyWhileTheFirmwareRuns) {
    EXPECT_EQ(device_.EmitEvent(7), "");
    EXPECT_EQ(device_.EmitEvent(8), "");
    const std::vector<std::uint8_t> word(4);
    EXPECT_EQ(Send(IOCTL_GET_EVENT, word, 4).output, Bytes(std::uint32_t{7}));
    EXPECT_EQ(Send(IOCTL_GET_EVENT, word, 4).output, Bytes(std::uint32_t{8}));
    EXPECT_EQ(Status(IOCTL_GET_EVENT, word, 4), static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));
    ASSERT_EQ(Status(IOCTL_ENTER_ICP, {1}), 0u);
    EXPECT_NE(device_.EmitEvent(9), "");
    EXPECT_EQ(device_.PendingEvents(), 0u);
}

TEST_F(SimulatedNerith, RegistrationAsksForTheObjectUnlessRefused) {
    const Outcome asked = Send(IOCTL_REGISTER_SEMAPHORE, Bytes(std::uint32_t{0x1234}));
    EXPECT_EQ(asked.action, Outcome::Action::QueryObject);
    EXPECT_EQ(asked.handleValue, 0x1234u);
    EXPECT_EQ(device_.FinishRegistration(client_, devsim::UniqueFd()).status,
              static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    device_.InjectedFaults().registerRefused = true;
    EXPECT_EQ(Status(IOCTL_REGISTER_SEMAPHORE, Bytes(std::uint32_t{0x1234})),
              static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
}

TEST_F(SimulatedNerith, IspRequestsNeedProgrammingModeAndAnOpen) {
    EXPECT_EQ(Status(proto::kOpen, Bytes(OpenParameters())),
              static_cast<std::uint32_t>(ERROR_NOT_READY));
    ASSERT_EQ(Status(IOCTL_ENTER_ICP, {1}), 0u);
    EXPECT_EQ(Status(proto::kErase, Bytes(proto::EraseRange{0x7000, 0x70FF, 512})),
              static_cast<std::uint32_t>(ERROR_NOT_READY));
    auto bad = OpenParameters();
    bad.startAddress = 0xF000;
    EXPECT_EQ(Status(proto::kOpen, Bytes(bad)),
              static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Status(proto::kOpen, Bytes(OpenParameters())), 0u);
    EXPECT_EQ(Status(proto::kErase, Bytes(proto::EraseRange{0x7000, 0x70FF, 512})), 0u);
    EXPECT_EQ(Status(proto::kClose, {}), 0u);
    EXPECT_EQ(Status(proto::kMassErase, {}), static_cast<std::uint32_t>(ERROR_NOT_READY));
}

TEST_F(SimulatedNerith, FlashKeepsTheRulesOfRealFlash) {
    OpenIsp();
    device_.Flash().Load(0x7000, 0x0F);
    device_.Flash().Load(0x7040, 0x0F);
    ASSERT_EQ(Status(proto::kProgram, Block(0x7000, {0xF0})), 0u);
    EXPECT_EQ(Read(0x7000, 1), std::vector<std::uint8_t>{0x00}) << "programming only clears bits";
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, {0xF0})),
              static_cast<std::uint32_t>(ERROR_INVALID_DATA));

    ASSERT_EQ(Status(proto::kErase, Bytes(proto::EraseRange{0x7001, 0x7002, 512})), 0u);
    EXPECT_EQ(Read(0x7000, 1), std::vector<std::uint8_t>{0xFF}) << "erase takes the whole page";
    EXPECT_EQ(Read(0x7040, 1), std::vector<std::uint8_t>{0x0F}) << "and only that page";
    ASSERT_EQ(Status(proto::kProgram, Block(0x7000, {0xF0})), 0u);
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, {0xF0})), 0u);

    ASSERT_EQ(Status(proto::kMassErase, {}), 0u);
    EXPECT_EQ(Read(0x7040, 1), std::vector<std::uint8_t>{0xFF});
}

TEST_F(SimulatedNerith, OnlyMarkedPagesAreProgrammedAndCompared) {
    OpenIsp();
    std::vector<std::uint8_t> data(128, 0x11);
    ASSERT_EQ(Status(proto::kProgram, Block(0x7000, data, 0b10)), 0u);
    EXPECT_EQ(Read(0x7000, 1)[0], 0xFF);
    EXPECT_EQ(Read(0x7040, 1)[0], 0x11);
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, data, 0b10)), 0u);
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, data, 0b01)),
              static_cast<std::uint32_t>(ERROR_INVALID_DATA));
}

TEST_F(SimulatedNerith, MalformedBlockRequestsAreRefused) {
    OpenIsp();
    const std::vector<std::vector<std::uint8_t>> bad = {
        Block(0x7000, {}),                                 // empty block
        Block(0xFFFF, {1, 2}),                             // runs past 0xFFFF
        Block(0x7020, std::vector<std::uint8_t>(4096, 0)), // touches 65 pages
        std::vector<std::uint8_t>(11, 0),                  // header cut short
    };
    for (const auto& request : bad) {
        EXPECT_EQ(Status(proto::kProgram, request),
                  static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(Status(proto::kVerify, request),
                  static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
    }
    auto cut = Block(0x7000, {1, 2, 3});
    cut.pop_back();
    EXPECT_EQ(Status(proto::kProgram, cut), static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Status(proto::kRead, Bytes(proto::ReadRange{0xFFF0, 0x20}), 0x20),
              static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
}

TEST_F(SimulatedNerith, InjectedFaultsHitTheRequestsTheyName) {
    devsim::Faults& faults = device_.InjectedFaults();
    faults.answerAfter = 2;
    faults.verifyFailsAt = 1;
    faults.programFailsAt = 0;
    faults.vanishesAt = 1;
    ASSERT_EQ(Status(IOCTL_ENTER_ICP, {1}), 0u);
    EXPECT_EQ(Status(proto::kOpen, Bytes(OpenParameters())),
              static_cast<std::uint32_t>(ERROR_TIMEOUT));
    EXPECT_EQ(Status(proto::kOpen, Bytes(OpenParameters())),
              static_cast<std::uint32_t>(ERROR_TIMEOUT));
    ASSERT_EQ(Status(proto::kOpen, Bytes(OpenParameters())), 0u);

    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, {0xFF})), 0u);
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, {0xFF})),
              static_cast<std::uint32_t>(ERROR_INVALID_DATA));
    EXPECT_EQ(Status(proto::kVerify, Block(0x7000, {0xFF})), 0u);

    EXPECT_EQ(Status(proto::kProgram, Block(0x7000, {0x12, 0x34})), 0u);
    EXPECT_EQ(Read(0x7000, 2), (std::vector<std::uint8_t>{0xFF, 0x34})) << "a stuck first byte";
    EXPECT_EQ(Send(proto::kProgram, Block(0x7002, {0x56})).action, Outcome::Action::Vanish);

    faults.eraseFails = true;
    EXPECT_EQ(Status(proto::kErase, Bytes(proto::EraseRange{0x7000, 0x7FFF, 512})),
              static_cast<std::uint32_t>(ERROR_WRITE_FAULT));
    EXPECT_EQ(Read(0x7001, 1)[0], 0x34) << "a failed erase leaves the flash as it was";
    faults.icpRefused = true;
    device_.Replug();
    EXPECT_EQ(Status(IOCTL_ENTER_ICP, {1}), static_cast<std::uint32_t>(ERROR_GEN_FAILURE));
}

} // namespace
