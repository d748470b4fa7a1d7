#include "ThreadState.h"

#include <map>

namespace platform::user {

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::thread::id, std::weak_ptr<ThreadState>>& Registry() {
    static auto* registry = new std::map<std::thread::id, std::weak_ptr<ThreadState>>();
    return *registry;
}

// Registers the thread's state for cross-thread posting and forgets it when the thread ends.
struct ThreadSlot {
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();

    ThreadSlot() {
        state->id = std::this_thread::get_id();
        std::lock_guard lock(RegistryMutex());
        Registry()[state->id] = state;
    }
    ~ThreadSlot() {
        std::lock_guard lock(RegistryMutex());
        Registry().erase(state->id);
    }
};

} // namespace

ThreadState& CurrentThread() {
    thread_local ThreadSlot slot;
    return *slot.state;
}

std::shared_ptr<ThreadState> ThreadStateOf(std::thread::id id) {
    if (id == std::this_thread::get_id()) {
        CurrentThread();
    }
    std::lock_guard lock(RegistryMutex());
    const auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : it->second.lock();
}

} // namespace platform::user
