#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(OutputDebugString, WritesTheBytesToStandardErrorUnchanged) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    const std::string cases[] = {
        "CheckFWversion  :same version!\n ",
        "VerifyAll begin",
        "OnBMasserase begin\n",
        "",
        everyByte,
    };
    for (const std::string& text : cases) {
        testing::internal::CaptureStderr();
        SetLastError(ERROR_FILE_EXISTS);
        OutputDebugStringA(text.c_str());
        const DWORD after = GetLastError();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), text);
        EXPECT_EQ(after, static_cast<DWORD>(ERROR_FILE_EXISTS));
    }
}

TEST(OutputDebugString, ConsecutiveCallsKeepTheirOrderWithoutSeparators) {
    testing::internal::CaptureStderr();
    OutputDebugStringA("OnBVerify ");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("Fail to open device !");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "OnBVerify Fail to open device !");
}

} // namespace
