#include "ProgressHook.h"

#include "platform/user32.h"

namespace nerith::test {

std::vector<WPARAM>& RecordedProgress() {
    static std::vector<WPARAM> progress;
    return progress;
}

std::function<void(WPARAM)>& ProgressHook() {
    static std::function<void(WPARAM)> hook;
    return hook;
}

} // namespace nerith::test

LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM wParam, LPARAM) {
    nerith::test::RecordedProgress().push_back(wParam);
    if (nerith::test::ProgressHook()) {
        nerith::test::ProgressHook()(wParam);
    }
    return 0;
}
