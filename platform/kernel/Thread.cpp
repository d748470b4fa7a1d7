#include "kernel/Thread.h"

#include "kernel/Deadline.h"
#include "kernel/Win32Error.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <new>

namespace platform::kernel {

namespace {

// The requested size is a floor: a thread never gets less stack than the system's default.
SIZE_T StackSizeFor(const pthread_attr_t& attr, SIZE_T requested) {
    size_t fallback = 0;
    pthread_attr_getstacksize(&attr, &fallback);
    const long page = ::sysconf(_SC_PAGESIZE);
    const SIZE_T pageSize = page > 0 ? static_cast<SIZE_T>(page) : 4096;
    SIZE_T size = std::max<SIZE_T>({requested, fallback, static_cast<SIZE_T>(PTHREAD_STACK_MIN)});
    return (size + pageSize - 1) / pageSize * pageSize;
}

class ThreadAttributes {
public:
    ThreadAttributes() : ok_(pthread_attr_init(&attr_) == 0) {}
    ~ThreadAttributes() {
        if (ok_) {
            pthread_attr_destroy(&attr_);
        }
    }
    ThreadAttributes(const ThreadAttributes&) = delete;
    ThreadAttributes& operator=(const ThreadAttributes&) = delete;

    bool Configure(SIZE_T stackSize) {
        return ok_ && pthread_attr_setdetachstate(&attr_, PTHREAD_CREATE_DETACHED) == 0 &&
               pthread_attr_setstacksize(&attr_, StackSizeFor(attr_, stackSize)) == 0;
    }
    const pthread_attr_t* Get() const { return &attr_; }

private:
    pthread_attr_t attr_;
    bool ok_;
};

} // namespace

Thread::Thread(LPTHREAD_START_ROUTINE start, LPVOID parameter)
    : start_(start), parameter_(parameter) {}

std::shared_ptr<Thread> Thread::Start(SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                      LPVOID parameter) {
    std::shared_ptr<Thread> thread;
    try {
        thread.reset(new Thread(start, parameter));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ThreadAttributes attributes;
    if (!attributes.Configure(stackSize)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    thread->keepAlive_ = thread;
    pthread_t id;
    const int error = pthread_create(&id, attributes.Get(), &Thread::Main, thread.get());
    if (error != 0) {
        thread->keepAlive_.reset();
        SetLastError(error == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY : Win32ErrorFromErrno(error));
        return nullptr;
    }
    std::unique_lock lock(thread->mutex_);
    thread->changed_.wait(lock, [&] { return thread->started_; });
    return thread;
}

void* Thread::Main(void* self) {
    static_cast<Thread*>(self)->Run();
    return nullptr;
}

void Thread::Run() {
    std::shared_ptr<Thread> self = std::move(keepAlive_);
    {
        std::lock_guard lock(mutex_);
        id_ = GetCurrentThreadId();
        started_ = true;
    }
    changed_.notify_all();
    const DWORD code = start_(parameter_);
    {
        std::lock_guard lock(mutex_);
        exitCode_ = code;
        finished_ = true;
    }
    changed_.notify_all();
}

DWORD Thread::Wait(DWORD milliseconds) {
    const Deadline deadline(milliseconds);
    std::unique_lock lock(mutex_);
    if (deadline.Infinite()) {
        changed_.wait(lock, [&] { return finished_; });
        return WAIT_OBJECT_0;
    }
    return changed_.wait_until(lock, deadline.End(), [&] { return finished_; }) ? WAIT_OBJECT_0
                                                                                : WAIT_TIMEOUT;
}

} // namespace platform::kernel

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A suspended start would need ResumeThread, which nothing here calls.
    if (dwCreationFlags & ~STACK_SIZE_PARAM_IS_A_RESERVATION) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto thread = platform::kernel::Thread::Start(dwStackSize, lpStartAddress, lpParameter);
    if (!thread) {
        return nullptr;
    }
    const DWORD id = thread->Id();
    HANDLE handle = platform::kernel::AddHandle(std::move(thread));
    if (handle && lpThreadId) {
        *lpThreadId = id;
    }
    return handle;
}

DWORD WINAPI GetCurrentThreadId() {
    return static_cast<DWORD>(::gettid());
}
