#include "EventLine.h"

#include "RelayStream.h"

#include <cstring>
#include <system_error>
#include <vector>

namespace winekorvel {

namespace {

// How soon the thread notices that the line is ending even if the relay stalls and Winsock
// does not wake a blocked read on shutdown().
constexpr DWORD kStopCheckMs = 200;
// A frame that has begun arrives whole within this time, or the relay is taken for stalled.
constexpr DWORD kFrameTimeoutMs = 10000;

} // namespace

std::unique_ptr<EventLine> EventLine::Start(std::uint16_t port, std::string_view token,
                                            std::uint32_t deviceId, DWORD& error) {
    std::unique_ptr<EventLine> line(new EventLine);
    error = ConnectToRelay(port, token, korvel_relay::Role::Events, deviceId, line->socket_);
    if (error != ERROR_SUCCESS) {
        return nullptr;
    }
    try {
        line->thread_ = std::thread([self = line.get()] { self->Run(); });
    } catch (const std::system_error&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    return line;
}

EventLine::~EventLine() {
    stopping_ = true;
    if (socket_.Valid()) {
        shutdown(socket_.Get(), SD_BOTH);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void EventLine::Hold(std::uint32_t handleValue, Win32Handle semaphore) {
    std::lock_guard lock(mutex_);
    handleValue_ = handleValue;
    semaphore_ = std::move(semaphore);
}

void EventLine::Release(std::uint32_t handleValue) {
    std::lock_guard lock(mutex_);
    // A semaphore at its maximum count stays there, as it would for a driver's release.
    if (semaphore_ && handleValue == handleValue_) {
        ReleaseSemaphore(semaphore_.Get(), 1, nullptr);
    }
}

// Ends when the relay closes the line, breaks the protocol or the line is ending; the
// semaphore stays held until then, as the handle it came with does.
void EventLine::Run() {
    const SOCKET socket = socket_.Get();
    std::vector<std::uint8_t> frame;
    korvel_relay::Release release{};
    while (!stopping_) {
        const DWORD waited = WaitReadable(socket, GetTickCount64() + kStopCheckMs);
        if (waited == ERROR_SEM_TIMEOUT) {
            continue;
        }
        if (waited != ERROR_SUCCESS ||
            ReceiveFrame(socket, frame, GetTickCount64() + kFrameTimeoutMs) != ERROR_SUCCESS ||
            frame.size() != sizeof(release)) {
            return;
        }
        std::memcpy(&release, frame.data(), sizeof(release));
        Release(release.handleValue);
    }
}

} // namespace winekorvel
