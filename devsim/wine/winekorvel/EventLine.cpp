#include "EventLine.h"

#include "RelayStream.h"

#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace winekorvel {

std::shared_ptr<EventLine> EventLine::Start(std::uint16_t port, std::string_view token,
                                            std::uint32_t deviceId, DWORD& error) {
    auto line = std::make_shared<EventLine>();
    error = ConnectToRelay(port, token, korvel_relay::Role::Events, deviceId, line->socket_);
    if (error != ERROR_SUCCESS) {
        return nullptr;
    }
    // The thread keeps the line alive until the relay ends it or Stop() does.
    try {
        std::thread([self = line] { self->Run(); }).detach();
    } catch (const std::system_error&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    return line;
}

void EventLine::Hold(std::uint32_t handleValue, Win32Handle semaphore) {
    std::lock_guard lock(mutex_);
    handleValue_ = handleValue;
    semaphore_ = std::move(semaphore);
}

void EventLine::Stop() {
    std::lock_guard lock(mutex_);
    if (socket_.Valid()) {
        shutdown(socket_.Get(), SD_BOTH);
    }
}

void EventLine::Release(std::uint32_t handleValue) {
    std::lock_guard lock(mutex_);
    // A semaphore at its maximum count stays there, as it would for a driver's release.
    if (semaphore_ && handleValue == handleValue_) {
        ReleaseSemaphore(semaphore_.Get(), 1, nullptr);
    }
}

void EventLine::Run() {
    const SOCKET socket = socket_.Get();
    std::vector<std::uint8_t> frame;
    korvel_relay::Release release{};
    while (ReceiveFrame(socket, frame, 0) == ERROR_SUCCESS && frame.size() == sizeof(release)) {
        std::memcpy(&release, frame.data(), sizeof(release));
        Release(release.handleValue);
    }
    std::lock_guard lock(mutex_);
    socket_.Reset();
    semaphore_.Reset();
}

} // namespace winekorvel
