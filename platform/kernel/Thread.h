// A thread started by CreateThread. The handle only refers to the thread: closing it does not
// stop or join it, and the thread's state lives as long as either still needs it.
#pragma once

#include "kernel/Waitable.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform::kernel {

class Thread : public KernelObject, public Waitable {
public:
    // Starts the thread and waits until it knows its own id. Returns nullptr with the last
    // error set when the system refuses a new thread.
    static std::shared_ptr<Thread> Start(SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                         LPVOID parameter);

    DWORD Id() const { return id_; }
    DWORD Wait(DWORD milliseconds) override;

private:
    Thread(LPTHREAD_START_ROUTINE start, LPVOID parameter);
    static void* Main(void* self);
    void Run();

    LPTHREAD_START_ROUTINE start_;
    LPVOID parameter_;
    std::shared_ptr<Thread> keepAlive_;
    std::mutex mutex_;
    std::condition_variable changed_;
    DWORD id_ = 0;
    bool started_ = false;
    bool finished_ = false;
    DWORD exitCode_ = 0;
};

} // namespace platform::kernel
