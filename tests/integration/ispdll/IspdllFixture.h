// The ISP library against a running nerith-devsim in programming mode: the device's flash and
// request counts before and after each call, and the image and page map the calls take.
#pragma once

#include "DevsimProcess.h"
#include "IspLibrary.h"
#include "IspStatus.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ispdll_test {

// The updater's profile: Flash #1 and the vector area.
constexpr DWORD kFlash1First = 0x7000;
constexpr DWORD kFlash1Last = 0xEDFF;
constexpr DWORD kVectorFirst = 0xFFDE;

class IspdllTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A device whose flash is all 0xFF, switched into programming mode.
    void StartBlank(const std::vector<std::string>& arguments = {});
    // Switches the device into programming mode, as the session's EnterIcpMode does.
    bool EnterProgrammingMode();
    // IspOpen with the updater's fixed parameters and the given range.
    static int Open(DWORD start, DWORD last = kFlash1Last, DWORD vectorFirst = kVectorFirst);

public:
    // The block call's arguments for first..last, as the session derives them.
    int Program(DWORD first, DWORD last, DWORD* status = nullptr);
    int Verify(DWORD first, DWORD last, DWORD* status = nullptr);

protected:
    std::map<std::string, unsigned> Stats() { return devsim_->Stats(); }
    std::vector<std::uint8_t> Flash() { return devsim_->DumpFlash(); }
    // A byte for every address that differs from its neighbours and from 0xFF.
    static BYTE Pattern(DWORD address);
    void FillImage(DWORD first, DWORD last);

    std::unique_ptr<nerith::test::DevsimProcess> devsim_;
    std::vector<BYTE> image_ = std::vector<BYTE>(0x10000, 0xFF);
    std::vector<BYTE> pageMap_ = std::vector<BYTE>(1024, 0x00);
};

// Request counts that differ between two snapshots, as "kind: before -> after".
std::string Changes(const std::map<std::string, unsigned>& before,
                    const std::map<std::string, unsigned>& after);

} // namespace ispdll_test
