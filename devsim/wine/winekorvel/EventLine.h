// The Events line of one open handle: a thread that waits for Release frames from the relay
// and releases the caller's semaphore, which this process holds as a duplicate, once for each.
// Wine's kernel objects cannot be reached from korvel.sys itself (see README.md), so the
// release is a plain ReleaseSemaphore from user mode.
#pragma once

#include "WinHandles.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

namespace winekorvel {

class EventLine {
public:
    // Connects, asks for the releases of Device connection `deviceId` and starts the thread.
    static std::unique_ptr<EventLine> Start(std::uint16_t port, std::string_view token,
                                            std::uint32_t deviceId, DWORD& error);
    EventLine(const EventLine&) = delete;
    EventLine& operator=(const EventLine&) = delete;
    // Ends the line and waits for its thread: the driver may be unloaded right after the
    // handle closes, and no thread may still run in this DLL then.
    ~EventLine();

    // From now on releases for `handleValue` go to `semaphore`; the one held before is closed.
    void Hold(std::uint32_t handleValue, Win32Handle semaphore);

private:
    EventLine() = default;
    void Run();
    void Release(std::uint32_t handleValue);

    std::mutex mutex_;
    Socket socket_;
    std::uint32_t handleValue_ = 0;
    Win32Handle semaphore_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace winekorvel
