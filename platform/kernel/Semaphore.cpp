#include "kernel/Semaphore.h"

#include "kernel/Deadline.h"
#include "kernel/Win32Error.h"
#include "platform/kernel32.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>
#include <new>

namespace platform::kernel {

std::shared_ptr<Semaphore> Semaphore::Create(LONG initialCount, LONG maximumCount) {
    UniqueFd fd(
        ::eventfd(static_cast<unsigned>(initialCount), EFD_SEMAPHORE | EFD_NONBLOCK | EFD_CLOEXEC));
    if (!fd.Valid()) {
        SetLastErrorFromErrno(errno);
        return nullptr;
    }
    try {
        return std::shared_ptr<Semaphore>(new Semaphore(std::move(fd), initialCount, maximumCount));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

Semaphore::Semaphore(UniqueFd fd, LONG count, LONG maximum)
    : fd_(std::move(fd)), count_(count), maximum_(maximum) {}

// Taking a unit and updating the count happen under one lock, so ReleaseSemaphore never sees
// a unit gone from the descriptor but still counted here.
bool Semaphore::TryTake() {
    std::lock_guard lock(mutex_);
    std::uint64_t value = 0;
    if (::read(fd_.Get(), &value, sizeof value) != sizeof value) {
        return false;
    }
    if (count_ > 0) {
        --count_;
    }
    return true;
}

DWORD Semaphore::Wait(DWORD milliseconds) {
    const Deadline deadline(milliseconds);
    for (;;) {
        if (TryTake()) {
            return WAIT_OBJECT_0;
        }
        const int timeout = deadline.RemainingForPoll();
        if (timeout == 0) {
            return WAIT_TIMEOUT;
        }
        pollfd p{fd_.Get(), POLLIN, 0};
        if (::poll(&p, 1, timeout) < 0 && errno != EINTR) {
            SetLastErrorFromErrno(errno);
            return WAIT_FAILED;
        }
    }
}

BOOL Semaphore::Release(LONG count, LONG* previousCount) {
    std::lock_guard lock(mutex_);
    if (count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (count > maximum_ - count_) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    const std::uint64_t value = static_cast<std::uint64_t>(count);
    if (::write(fd_.Get(), &value, sizeof value) != sizeof value) {
        SetLastErrorFromErrno(errno);
        return FALSE;
    }
    if (previousCount) {
        *previousCount = count_;
    }
    count_ += count;
    return TRUE;
}

} // namespace platform::kernel

HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG lInitialCount, LONG lMaximumCount,
                               LPCSTR lpName) {
    if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Named semaphores are shared between processes by name on Windows; nothing here needs
    // that, so a name is refused rather than silently ignored.
    if (lpName && *lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto semaphore = platform::kernel::Semaphore::Create(lInitialCount, lMaximumCount);
    if (!semaphore) {
        return nullptr;
    }
    HANDLE handle = platform::kernel::AddHandle(std::move(semaphore));
    if (handle) {
        SetLastError(ERROR_SUCCESS);
    }
    return handle;
}

BOOL WINAPI ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount) {
    auto semaphore = platform::kernel::GetObject<platform::kernel::Semaphore>(hSemaphore);
    if (!semaphore) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return semaphore->Release(lReleaseCount, lpPreviousCount);
}
