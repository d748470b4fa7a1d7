// A CBT hook kind the platform never calls is refused rather than installed in vain.
#include "TestSupport.h"

namespace {

LRESULT CALLBACK NeverCalled(int code, WPARAM wParam, LPARAM lParam) {
    ADD_FAILURE() << "hook called";
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The platform delivers only the CBT hook's creation notice, so it says so rather than
// install a hook that would never be called.
TEST(HookTest, HookKindsThatAreNeverCalledAreRefused) {
    SetLastError(0);
    EXPECT_EQ(SetWindowsHookExA(2 /* WH_KEYBOARD */, &NeverCalled, nullptr, GetCurrentThreadId()),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
}

} // namespace
