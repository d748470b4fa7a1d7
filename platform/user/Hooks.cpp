#include "Hooks.h"

#include "platform/kernel32.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace platform::user {

namespace {

constexpr int kLowestHookId = -1;  // WH_MSGFILTER
constexpr int kHighestHookId = 14; // WH_MOUSE_LL

struct Hook {
    std::uintptr_t id = 0;
    int kind = 0;
    HOOKPROC proc = nullptr;
    DWORD thread = 0; // 0: every thread of the process
    bool removed = false;
};

using HookPtr = std::shared_ptr<Hook>;

// Installed hooks, oldest first. A chain being called keeps its own copy, so a hook that is
// removed meanwhile is skipped rather than freed under it.
class HookTable {
public:
    HHOOK Add(int kind, HOOKPROC proc, DWORD thread) {
        std::lock_guard lock(mutex_);
        auto hook = std::make_shared<Hook>(Hook{next_, kind, proc, thread, false});
        next_ += 4;
        hooks_.push_back(hook);
        return reinterpret_cast<HHOOK>(hook->id);
    }

    bool Remove(HHOOK handle) {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(hooks_.begin(), hooks_.end(), [handle](const HookPtr& h) {
            return h->id == reinterpret_cast<std::uintptr_t>(handle);
        });
        if (it == hooks_.end()) {
            return false;
        }
        (*it)->removed = true;
        hooks_.erase(it);
        return true;
    }

    // The thread's own hooks come before the process-wide ones, the newest first in each.
    std::vector<HookPtr> Chain(int kind, DWORD thread) const {
        std::lock_guard lock(mutex_);
        std::vector<HookPtr> chain;
        for (const DWORD owner : {thread, DWORD{0}}) {
            for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
                if ((*it)->kind == kind && (*it)->thread == owner) {
                    chain.push_back(*it);
                }
            }
        }
        return chain;
    }

    bool Removed(const HookPtr& hook) const {
        std::lock_guard lock(mutex_);
        return hook->removed;
    }

private:
    mutable std::mutex mutex_;
    std::vector<HookPtr> hooks_;
    std::uintptr_t next_ = 0x4000;
};

HookTable& Hooks() {
    static HookTable table;
    return table;
}

// The chain a hook procedure of this thread is running in, for CallNextHookEx.
struct ChainCall {
    const std::vector<HookPtr>* chain = nullptr;
    std::size_t position = 0;
};

ChainCall*& CurrentCall() {
    thread_local ChainCall* call = nullptr;
    return call;
}

LRESULT CallFrom(ChainCall& call, std::size_t start, int code, WPARAM wParam, LPARAM lParam) {
    for (std::size_t i = start; i < call.chain->size(); ++i) {
        const HookPtr& hook = (*call.chain)[i];
        if (Hooks().Removed(hook)) {
            continue;
        }
        call.position = i;
        return hook->proc(code, wParam, lParam);
    }
    return 0;
}

bool ThreadOfThisProcess(DWORD thread) {
    struct stat info {};
    return ::stat(("/proc/self/task/" + std::to_string(thread)).c_str(), &info) == 0;
}

} // namespace

LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam) {
    const std::vector<HookPtr> chain = Hooks().Chain(idHook, GetCurrentThreadId());
    if (chain.empty()) {
        return 0;
    }
    ChainCall call{&chain, 0};
    ChainCall* const outer = CurrentCall();
    CurrentCall() = &call;
    const LRESULT result = CallFrom(call, 0, code, wParam, lParam);
    CurrentCall() = outer;
    return result;
}

} // namespace platform::user

using namespace platform::user;

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId) {
    if (idHook < kLowestHookId || idHook > kHighestHookId) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (!lpfn) {
        SetLastError(ERROR_INVALID_FILTER_PROC);
        return nullptr;
    }
    if (dwThreadId == 0 && !hmod) {
        SetLastError(ERROR_HOOK_NEEDS_HMOD);
        return nullptr;
    }
    if (dwThreadId != 0 && !ThreadOfThisProcess(dwThreadId)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Only the creation notice of the CBT hook is ever sent; any other hook would stay silent.
    if (idHook != WH_CBT) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    return Hooks().Add(idHook, lpfn, dwThreadId);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    if (!Hooks().Remove(hhk)) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// As on Windows NT, the handle is not needed: the next hook is the one after the caller's.
LRESULT WINAPI CallNextHookEx(HHOOK, int nCode, WPARAM wParam, LPARAM lParam) {
    ChainCall* call = CurrentCall();
    if (!call) {
        return 0;
    }
    const std::size_t caller = call->position;
    const LRESULT result = CallFrom(*call, caller + 1, nCode, wParam, lParam);
    call->position = caller;
    return result;
}
