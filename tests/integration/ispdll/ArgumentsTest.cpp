// Calls the ISP library refuses before anything reaches the device: each function with
// arguments it cannot accept, or without an open link, answers with its documented status,
// writes it to the status word and sends no request.
#include "IspdllFixture.h"

#include <functional>

namespace {

using ispdll_test::Changes;
using ispdll_test::IspdllTest;
using ispdll_test::kFlash1First;
using ispdll_test::kFlash1Last;
using ispdll_test::kVectorFirst;

constexpr DWORD kUntouched = 0xA5A5A5A5;

struct Refusal {
    std::string what;
    bool open;        // IspOpen succeeded before the call
    IspStatus status; // what the call must answer
    std::function<int(DWORD* status, BYTE* image, BYTE* pageMap)> call;
};

using BlockFunction = decltype(&IspProgramBlock);

// The block arguments of 0x7000..0x71FF with one of them spoilt.
struct BlockCall {
    DWORD first = 0x7000;
    DWORD firstHigh = 0x70;
    DWORD last = 0x71FF;
    DWORD lastHigh = 0x71;
    DWORD length = 0x200;
    DWORD lengthHigh = 0x2;
    DWORD blockSize = 512;
    bool image = true;
    bool pageMap = true;

    int operator()(BlockFunction function, DWORD* status, BYTE* pImage, BYTE* pPageMap) const {
        return function(first, firstHigh, last, lastHigh, length, lengthHigh, blockSize,
                        image ? pImage : nullptr, pageMap ? pPageMap : nullptr, status);
    }
};

BlockCall Range(DWORD first, DWORD last) {
    const DWORD length = last - first + 1;
    return {first, first >> 8, last, last >> 8, length, length >> 8, 512, true, true};
}

std::vector<Refusal> BlockRefusals(const char* name, BlockFunction function) {
    std::vector<std::pair<std::string, BlockCall>> spoilt;
    spoilt.emplace_back("no image", BlockCall{.image = false});
    spoilt.emplace_back("no page map", BlockCall{.pageMap = false});
    spoilt.emplace_back("block size 0", BlockCall{.blockSize = 0});
    spoilt.emplace_back("first high byte wrong", BlockCall{.firstHigh = 0x71});
    spoilt.emplace_back("last high byte wrong", BlockCall{.lastHigh = 0x70});
    spoilt.emplace_back("length wrong", BlockCall{.length = 0x1FF});
    spoilt.emplace_back("length high byte wrong", BlockCall{.lengthHigh = 0x1});
    spoilt.emplace_back("first above last", Range(0x7200, 0x71FF));
    spoilt.emplace_back("last past 0xFFFF", Range(0xFF00, 0x100FF));
    spoilt.emplace_back("below the open region", Range(0x6E00, 0x6FFF));
    spoilt.emplace_back("across the region's end", Range(0xED00, 0xEEFF));
    spoilt.emplace_back("between region and vectors", Range(0xEE00, 0xEFFF));
    spoilt.emplace_back("one byte below the vectors", Range(0xFFDD, 0xFFFF));
    std::vector<Refusal> refusals;
    for (const auto& [what, call] : spoilt) {
        refusals.push_back(
            {std::string(name) + ": " + what, true, ISP_BAD_ARGUMENT,
             [function, call](DWORD* s, BYTE* i, BYTE* p) { return call(function, s, i, p); }});
    }
    return refusals;
}

std::vector<Refusal> AllRefusals() {
    std::vector<Refusal> refusals = BlockRefusals("IspProgramBlock", &IspProgramBlock);
    const std::vector<Refusal> verify = BlockRefusals("IspVerifyBlock", &IspVerifyBlock);
    refusals.insert(refusals.end(), verify.begin(), verify.end());
    const auto erase = [](DWORD firstLow, DWORD firstHigh, DWORD lastLow, DWORD lastHigh,
                          DWORD blockSize) {
        return [=](DWORD* s, BYTE*, BYTE*) {
            return IspEraseRange(firstLow, firstHigh, lastLow, lastHigh, blockSize, s);
        };
    };
    const std::vector<Refusal> others = {
        {"IspOpen: start above last", false, ISP_BAD_ARGUMENT,
         [](DWORD*, BYTE*, BYTE*) {
             return IspOpen(64, 64, 6144, 0xEE00, kFlash1Last, kVectorFirst, 0xFF06, 1, 4, 0);
         }},
        {"IspOpen: last past 0xFFFF", false, ISP_BAD_ARGUMENT,
         [](DWORD*, BYTE*, BYTE*) {
             return IspOpen(64, 64, 6144, kFlash1First, 0x10000, kVectorFirst, 0xFF06, 1, 4, 0);
         }},
        {"IspOpen: vectors past 0xFFFF", false, ISP_BAD_ARGUMENT,
         [](DWORD*, BYTE*, BYTE*) {
             return IspOpen(64, 64, 6144, kFlash1First, kFlash1Last, 0x10000, 0xFF06, 1, 4, 0);
         }},
        {"IspEraseRange: a byte argument above 0xFF", true, ISP_BAD_ARGUMENT,
         erase(0x100, 0x70, 0xFF, 0x71, 512)},
        {"IspEraseRange: block size 0", true, ISP_BAD_ARGUMENT, erase(0x00, 0x70, 0xFF, 0x71, 0)},
        {"IspEraseRange: first above last", true, ISP_BAD_ARGUMENT,
         erase(0x00, 0x72, 0xFF, 0x71, 512)},
        {"IspEraseRange: below the open region", true, ISP_BAD_ARGUMENT,
         erase(0x00, 0x6F, 0xFF, 0x6F, 512)},
        {"IspEraseRange: across the region's end", true, ISP_BAD_ARGUMENT,
         erase(0x00, 0xED, 0xFF, 0xEE, 512)},
        {"IspEraseRange: without an open", false, ISP_NOT_OPEN, erase(0x00, 0x70, 0xFF, 0x71, 512)},
        {"IspMassErase: without an open", false, ISP_NOT_OPEN,
         [](DWORD* s, BYTE*, BYTE*) { return IspMassErase(0, 0, s); }},
        {"IspProgramBlock: without an open", false, ISP_NOT_OPEN,
         [](DWORD* s, BYTE* i, BYTE* p) { return BlockCall{}(&IspProgramBlock, s, i, p); }},
        {"IspVerifyBlock: without an open", false, ISP_NOT_OPEN,
         [](DWORD* s, BYTE* i, BYTE* p) { return BlockCall{}(&IspVerifyBlock, s, i, p); }},
    };
    refusals.insert(refusals.end(), others.begin(), others.end());
    return refusals;
}

class Arguments : public IspdllTest {};

TEST_F(Arguments, RefusedCallsAnswerTheirStatusAndSendNothing) {
    FillImage(0x7000, 0x71FF);
    for (const Refusal& r : AllRefusals()) {
        IspClose();
        if (r.open) {
            ASSERT_EQ(Open(kFlash1First), 0) << r.what;
        }
        const auto before = Stats();
        DWORD status = kUntouched;
        EXPECT_EQ(r.call(&status, image_.data(), pageMap_.data()), static_cast<int>(r.status))
            << r.what;
        EXPECT_EQ(Changes(before, Stats()), "") << r.what << ": something reached the device";
        // IspOpen takes no status word; every other function reports into the one it got.
        const bool takesStatus = r.what.rfind("IspOpen", 0) != 0;
        EXPECT_EQ(status, takesStatus ? static_cast<DWORD>(r.status) : kUntouched) << r.what;
        EXPECT_EQ(r.call(nullptr, image_.data(), pageMap_.data()), static_cast<int>(r.status))
            << r.what << " without a status word";
    }
}

// A refused block leaves the link open: the next good call goes through.
TEST_F(Arguments, ARefusedCallLeavesTheLinkUsable) {
    FillImage(0x7000, 0x71FF);
    ASSERT_EQ(Open(kFlash1First), 0);
    EXPECT_EQ(Program(0x6E00, 0x6FFF), static_cast<int>(ISP_BAD_ARGUMENT));
    EXPECT_EQ(Program(0x7000, 0x71FF), 0);
    EXPECT_EQ(Verify(0x7000, 0x71FF), 0);
}

TEST_F(Arguments, CloseWithoutAnOpenSendsNothing) {
    const auto before = Stats();
    EXPECT_EQ(IspClose(), 0);
    EXPECT_EQ(IspClose(), 0);
    EXPECT_EQ(Changes(before, Stats()), "");

    ASSERT_EQ(Open(kFlash1First), 0);
    const auto opened = Stats();
    EXPECT_EQ(IspClose(), 0);
    EXPECT_EQ(IspClose(), 0) << "a second close";
    EXPECT_EQ(Changes(opened, Stats()), "isp_close: 0 -> 1; ");
}

} // namespace
