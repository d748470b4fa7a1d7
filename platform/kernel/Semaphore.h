// A counting semaphore on an eventfd in semaphore mode: every 8-byte write of 1 releases one
// unit, every read takes one. The descriptor is what a driver process receives (SCM_RIGHTS)
// to release the semaphore from outside.
//
// The maximum count is enforced for ReleaseSemaphore inside this process only: the count kept
// here follows in-process releases and waits. A driver that writes to the descriptor directly
// is not checked against the maximum, and the previous count ReleaseSemaphore reports does not
// include units it posted and nobody has taken yet.
#pragma once

#include "kernel/Waitable.h"
#include "platform/internal/UniqueFd.h"
#include "platform/internal/kernel_object.h"

#include <memory>
#include <mutex>

namespace platform::kernel {

class Semaphore : public KernelObject, public Waitable {
public:
    // Returns nullptr with the last error set when no eventfd can be made.
    static std::shared_ptr<Semaphore> Create(LONG initialCount, LONG maximumCount);

    int ShareableFd() const override { return fd_.Get(); }
    DWORD Wait(DWORD milliseconds) override;
    BOOL Release(LONG count, LONG* previousCount);

private:
    Semaphore(UniqueFd fd, LONG count, LONG maximum);
    bool TryTake();

    UniqueFd fd_;
    std::mutex mutex_;
    LONG count_;
    LONG maximum_;
};

} // namespace platform::kernel
