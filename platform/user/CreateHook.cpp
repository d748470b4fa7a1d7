#include "CreateHook.h"

namespace platform::user {

namespace {

struct PendingHook {
    CreateHook hook = nullptr;
    void* context = nullptr;
};

PendingHook& Pending() {
    thread_local PendingHook pending;
    return pending;
}

} // namespace

void SetCreateHook(CreateHook hook, void* context) {
    Pending() = PendingHook{hook, context};
}

void ClearCreateHook() {
    Pending() = PendingHook{};
}

void RunCreateHook(HWND hwnd) {
    const PendingHook pending = Pending();
    ClearCreateHook();
    if (pending.hook) {
        pending.hook(hwnd, pending.context);
    }
}

} // namespace platform::user
