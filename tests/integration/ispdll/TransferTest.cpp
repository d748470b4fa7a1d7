// What the ISP library's accepted calls do to the device: blocks split into requests the wire
// carries and put together again in flash, the read-back after programming, erases, the vector
// area and a second flash region, and a device that goes away in the middle of a call.
#include "IspdllFixture.h"

#include <cstdio>

namespace {

using ispdll_test::Changes;
using ispdll_test::IspdllTest;
using ispdll_test::kFlash1First;
using ispdll_test::kFlash1Last;
using ispdll_test::kVectorFirst;

// The first address in first..last where the flash does not hold `expected`'s byte, or "".
std::string Mismatch(const std::vector<std::uint8_t>& flash, DWORD first, DWORD last,
                     const std::function<BYTE(DWORD)>& expected) {
    if (flash.size() != 0x10000) {
        return "no flash dump";
    }
    for (DWORD a = first; a <= last; ++a) {
        if (flash[a] != expected(a)) {
            char text[80];
            std::snprintf(text, sizeof text, "0x%04X holds 0x%02X, expected 0x%02X",
                          static_cast<unsigned>(a), flash[a], expected(a));
            return text;
        }
    }
    return "";
}

unsigned Count(const std::map<std::string, unsigned>& stats, const std::string& kind) {
    const auto it = stats.find(kind);
    return it == stats.end() ? 0 : it->second;
}

BYTE Erased(DWORD) {
    return 0xFF;
}

class Transfer : public IspdllTest {};

// A block goes out in requests of at most 4 KiB that end on 4 KiB boundaries; the whole
// address space in one block is more than one wire packet can carry.
TEST_F(Transfer, BlocksAreSplitIntoRequestsAndReassembledInFlash) {
    struct Case {
        DWORD first;
        DWORD last;
        unsigned requests;
    };
    const Case cases[] = {
        {0x0000, 0xFFFF, 16}, {0x7000, 0x71FF, 1}, {0x1000, 0x1FFF, 1},
        {0x0FC0, 0x103F, 2},  {0x0001, 0x2001, 3}, {0x3FFF, 0x4000, 2},
    };
    for (const Case& c : cases) {
        StartBlank();
        FillImage(0x0000, 0xFFFF);
        ASSERT_EQ(Open(0x0000, 0xFFFF, kVectorFirst), 0);
        const auto before = Stats();
        DWORD status = 0xA5;
        EXPECT_EQ(Program(c.first, c.last, &status), 0) << std::hex << c.first;
        EXPECT_EQ(status, static_cast<DWORD>(ISP_OK));
        const auto programmed = Stats();
        EXPECT_EQ(Count(programmed, "program") - Count(before, "program"), c.requests) << c.first;
        EXPECT_EQ(Verify(c.first, c.last), 0) << c.first;
        EXPECT_EQ(Count(Stats(), "verify") - Count(programmed, "verify"), c.requests) << c.first;
        const auto flash = Flash();
        EXPECT_EQ(Mismatch(flash, c.first, c.last, Pattern), "") << c.first;
        if (c.first > 0) {
            EXPECT_EQ(Mismatch(flash, 0, c.first - 1, Erased), "") << c.first;
        }
        if (c.last < 0xFFFF) {
            EXPECT_EQ(Mismatch(flash, c.last + 1, 0xFFFF, Erased), "") << c.first;
        }
    }
}

// Only the pages the image file filled are written and compared.
TEST_F(Transfer, OnlyMarkedPagesAreProgrammedAndVerified) {
    FillImage(0x7000, 0x71FF);
    for (DWORD page = 0x7000 / 64; page <= 0x71FF / 64; page += 2) {
        pageMap_[page] = 0x00;
    }
    ASSERT_EQ(Open(kFlash1First), 0);
    EXPECT_EQ(Program(0x7000, 0x71FF), 0);
    const auto flash = Flash();
    EXPECT_EQ(Mismatch(flash, 0x7000, 0x71FF,
                       [](DWORD a) { return ((a / 64) % 2) ? Pattern(a) : BYTE{0xFF}; }),
              "");
    EXPECT_EQ(Verify(0x7000, 0x71FF), 0) << "an unmarked page that differs is no mismatch";
    pageMap_[0x7000 / 64] = 0xFF;
    EXPECT_EQ(Verify(0x7000, 0x71FF), static_cast<int>(ISP_MISMATCH));
}

// Programming only clears bits, so the library reads every programmed block back: a byte that
// did not take is reported, whether the flash was not erased, a cell is stuck, or the MCU
// refused the block outright.
TEST_F(Transfer, TheReadBackFindsWhatDidNotTake) {
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool erased;
        IspStatus status;
    };
    const Case cases[] = {
        {"erased flash", {}, true, ISP_OK},
        {"flash holding the old firmware", {}, false, ISP_MISMATCH},
        {"a stuck cell", {"--fault=program-at:0"}, true, ISP_MISMATCH},
        {"the MCU refuses the block", {"--fault=mcu-refuses-program-at:0"}, true, ISP_DEVICE_ERROR},
    };
    for (const Case& c : cases) {
        StartBlank(c.arguments);
        if (!c.erased) {
            ASSERT_EQ(devsim_->Control("image-version 1,63"), "ok");
        }
        FillImage(0x7000, 0x71FF);
        ASSERT_EQ(Open(kFlash1First), 0) << c.what;
        DWORD status = 0xA5;
        EXPECT_EQ(Program(0x7000, 0x71FF, &status), static_cast<int>(c.status)) << c.what;
        EXPECT_EQ(status, static_cast<DWORD>(c.status)) << c.what;
        EXPECT_EQ(Verify(0x7000, 0x71FF), c.status == ISP_OK ? 0 : static_cast<int>(ISP_MISMATCH))
            << c.what;
    }
}

TEST_F(Transfer, RangeAndMassEraseClearWhatTheyName) {
    ASSERT_EQ(devsim_->Control("image-version 1,63"), "ok");
    const auto old = Flash();
    ASSERT_EQ(Open(kFlash1First), 0);
    DWORD status = 0xA5;
    EXPECT_EQ(IspEraseRange(0x00, 0x70, 0xFF, 0xED, 512, &status), 0);
    EXPECT_EQ(status, static_cast<DWORD>(ISP_OK));
    auto flash = Flash();
    EXPECT_EQ(Mismatch(flash, kFlash1First, kFlash1Last, Erased), "");
    EXPECT_EQ(Mismatch(flash, kFlash1Last + 1, 0xFFFF, [&old](DWORD a) { return old[a]; }), "")
        << "the range erase reached past its range";

    EXPECT_EQ(IspMassErase(0, 0, &status), 0);
    EXPECT_EQ(Mismatch(Flash(), 0, 0xFFFF, Erased), "");
    EXPECT_EQ(Count(Stats(), "mass_erase"), 1u);
}

TEST_F(Transfer, AFailedEraseIsReportedAndLeavesTheFlash) {
    StartBlank({"--fault=erase"});
    ASSERT_EQ(devsim_->Control("image-version 1,63"), "ok");
    const auto old = Flash();
    ASSERT_EQ(Open(kFlash1First), 0);
    DWORD status = 0;
    EXPECT_EQ(IspEraseRange(0x00, 0x70, 0xFF, 0xED, 512, &status),
              static_cast<int>(ISP_DEVICE_ERROR));
    EXPECT_EQ(status, static_cast<DWORD>(ISP_DEVICE_ERROR));
    EXPECT_EQ(IspMassErase(0, 0, &status), static_cast<int>(ISP_DEVICE_ERROR));
    EXPECT_EQ(Flash(), old);
}

// The vector area is open beside the region; a dual-flash profile opens from Flash #2's start.
TEST_F(Transfer, VectorAreaAndSecondFlashRegion) {
    FillImage(0x1000, 0x11FF);
    FillImage(0xFFDE, 0xFFFF);
    ASSERT_EQ(Open(kFlash1First), 0);
    EXPECT_EQ(Program(0xFFDE, 0xFFFF), 0);
    EXPECT_EQ(Verify(0xFFDE, 0xFFFF), 0);
    EXPECT_EQ(Program(0x1000, 0x11FF), static_cast<int>(ISP_BAD_ARGUMENT))
        << "Flash #2 is not part of a Flash #1 open";

    ASSERT_EQ(Open(0x1000), 0);
    EXPECT_EQ(Program(0x1000, 0x11FF), 0);
    EXPECT_EQ(Verify(0x1000, 0x11FF), 0);
    EXPECT_EQ(IspEraseRange(0xDE, 0xFF, 0xFF, 0xFF, 512, nullptr), 0);
    const auto flash = Flash();
    EXPECT_EQ(Mismatch(flash, 0x1000, 0x11FF, Pattern), "");
    EXPECT_EQ(Mismatch(flash, 0xFFC0, 0xFFFF, Erased), "") << "the vector erase";
    EXPECT_EQ(Program(0x0E00, 0x0FFF), static_cast<int>(ISP_BAD_ARGUMENT));
}

// A device unplugged in the middle of a call: the call reports it at once, whatever it was
// doing, the requests before the vanishing took effect, and the library can be closed and
// opened again once the device is back.
TEST_F(Transfer, ADeviceThatVanishesMidCallFailsTheCall) {
    struct Case {
        const char* fault;
        std::function<int(Transfer&)> call;
        DWORD written; // bytes of 0x7000..0x8FFF in flash afterwards
    };
    const Case cases[] = {
        {"vanish-at:1", [](Transfer& t) { return t.Program(0x7000, 0x8FFF); }, 0x1000},
        {"vanish-at:0", [](Transfer& t) { return t.Program(0x7000, 0x8FFF); }, 0},
        {"vanish-verify-at:0", [](Transfer& t) { return t.Verify(0x7000, 0x8FFF); }, 0},
        {"vanish-erase",
         [](Transfer&) { return IspEraseRange(0x00, 0x70, 0xFF, 0xED, 512, nullptr); }, 0},
        {"vanish-erase", [](Transfer&) { return IspMassErase(0, 0, nullptr); }, 0},
    };
    for (const Case& c : cases) {
        StartBlank({std::string("--fault=") + c.fault});
        FillImage(0x7000, 0x8FFF);
        ASSERT_EQ(Open(kFlash1First), 0) << c.fault;
        EXPECT_EQ(c.call(*this), static_cast<int>(ISP_DEVICE_ERROR)) << c.fault;
        EXPECT_EQ(Verify(0x7000, 0x71FF), static_cast<int>(ISP_DEVICE_ERROR)) << c.fault;
        EXPECT_EQ(IspClose(), 0) << c.fault;
        EXPECT_EQ(Open(kFlash1First), static_cast<int>(ISP_NO_ANSWER)) << c.fault;
        const auto flash = Flash();
        EXPECT_EQ(Mismatch(flash, 0x7000, 0x7000 + c.written - 1, Pattern), "") << c.fault;
        EXPECT_EQ(Mismatch(flash, 0x7000 + c.written, 0x8FFF, Erased), "") << c.fault;

        ASSERT_EQ(devsim_->Control("replug"), "ok");
        ASSERT_TRUE(EnterProgrammingMode()) << c.fault;
        EXPECT_EQ(Open(kFlash1First), 0) << c.fault;
    }
}

} // namespace
