// Any bytes as a dialog template: creating the dialog from what the parser accepts never
// crashes, reads past the bytes or leaks; creation either fails cleanly or gives a window.
#include "user/Dialog.h"
#include "user/DialogTemplate.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Larger dialogs only cost memory (each window keeps its own pixels): not a fault.
constexpr int kMaxUnits = 1000;
constexpr int kMaxPoints = 72;

bool Small(short v) {
    return v > -kMaxUnits && v < kMaxUnits;
}

INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Before the first window, which opens the display; the seed replay has no init hook.
    static const bool headless = setenv("NERITH_DISPLAY", "headless", 1) == 0;
    if (!headless) {
        return 0;
    }
    std::vector<std::uint8_t> bytes(data, data + size);
    platform::user::DialogTemplate parsed;
    if (!platform::user::ParseDialogTemplate(bytes.data(), bytes.size(), parsed) ||
        parsed.pointSize > kMaxPoints || !Small(parsed.cx) || !Small(parsed.cy) ||
        !Small(parsed.x) || !Small(parsed.y)) {
        return 0;
    }
    for (const auto& item : parsed.items) {
        if (!Small(item.cx) || !Small(item.cy) || !Small(item.x) || !Small(item.y)) {
            return 0;
        }
    }
    const HWND dialog = platform::user::CreateDialogFromTemplate(nullptr, bytes.data(),
                                                                 bytes.size(), nullptr, &Proc, 0);
    if (dialog) {
        DestroyWindow(dialog);
    }
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    return 0;
}
