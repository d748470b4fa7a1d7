#include "IspdllFixture.h"

#include "IcpControlCode.h"

#include <fstream>

namespace ispdll_test {

void IspdllTest::SetUp() {
    StartBlank();
}

void IspdllTest::TearDown() {
    IspClose();
}

void IspdllTest::StartBlank(const std::vector<std::string>& arguments) {
    IspClose();
    devsim_ = std::make_unique<nerith::test::DevsimProcess>(arguments);
    ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
    devsim_->UseAsDeviceFolder();
    const std::string blank = devsim_->Folder() + "/blank.s19";
    std::ofstream(blank) << "S9030000FC\r\n";
    ASSERT_EQ(devsim_->Control("flash " + blank), "ok");
    ASSERT_TRUE(EnterProgrammingMode());
}

bool IspdllTest::EnterProgrammingMode() {
    const HANDLE device = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return false;
    }
    BYTE enter = 0x01;
    DWORD returned = 0;
    const BOOL entered =
        DeviceIoControl(device, IOCTL_ENTER_ICP, &enter, 1, nullptr, 0, &returned, nullptr);
    CloseHandle(device);
    return entered != FALSE;
}

int IspdllTest::Open(DWORD start, DWORD last, DWORD vectorFirst) {
    return IspOpen(64, 64, 6144, start, last, vectorFirst, 0xFF06, 1, 4, 0);
}

int IspdllTest::Program(DWORD first, DWORD last, DWORD* status) {
    const DWORD length = last - first + 1;
    return IspProgramBlock(first, first >> 8, last, last >> 8, length, length >> 8, 512,
                           image_.data(), pageMap_.data(), status);
}

int IspdllTest::Verify(DWORD first, DWORD last, DWORD* status) {
    const DWORD length = last - first + 1;
    return IspVerifyBlock(first, first >> 8, last, last >> 8, length, length >> 8, 512,
                          image_.data(), pageMap_.data(), status);
}

BYTE IspdllTest::Pattern(DWORD address) {
    return static_cast<BYTE>((address * 7 + (address >> 8) * 13) % 255);
}

void IspdllTest::FillImage(DWORD first, DWORD last) {
    for (DWORD a = first; a <= last; ++a) {
        image_[a] = Pattern(a);
        pageMap_[a / 64] = 0xFF;
    }
}

std::string Changes(const std::map<std::string, unsigned>& before,
                    const std::map<std::string, unsigned>& after) {
    std::string changes;
    for (const auto& [kind, count] : after) {
        const auto it = before.find(kind);
        const unsigned was = it == before.end() ? 0 : it->second;
        if (was != count) {
            changes += kind + ": " + std::to_string(was) + " -> " + std::to_string(count) + "; ";
        }
    }
    return changes;
}

} // namespace ispdll_test
