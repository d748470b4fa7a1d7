#include "RelayLink.h"

#include "RelayStream.h"
#include "platform/internal/device_wire.h"

#include <cstring>
#include <exception>

namespace winekorvel {

namespace {

namespace wire = platform::devices::wire;

ULONGLONG DeadlineIn(DWORD milliseconds) {
    return GetTickCount64() + milliseconds;
}

// The caller's handle, duplicated into this process; empty when it names nothing there.
Win32Handle TakeFromCaller(DWORD callerPid, std::uint32_t handleValue) {
    const Win32Handle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, callerPid));
    HANDLE local = nullptr;
    const HANDLE remote = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handleValue));
    if (!process || !DuplicateHandle(process.Get(), remote, GetCurrentProcess(), &local,
                                     SEMAPHORE_MODIFY_STATE, FALSE, 0)) {
        return Win32Handle();
    }
    return Win32Handle(local);
}

} // namespace

std::unique_ptr<RelayLink> RelayLink::Open(std::uint16_t port, std::string token, DWORD& error) {
    std::unique_ptr<RelayLink> link(new RelayLink(port, std::move(token)));
    if (!link->winsock_.Started()) {
        error = ERROR_NOT_READY;
        return nullptr;
    }
    error = ConnectToRelay(port, link->token_, korvel_relay::Role::Device, 0, link->socket_);
    if (error == ERROR_SUCCESS) {
        error = link->Welcome(DeadlineIn(wire::kRequestTimeoutMs));
    }
    return error == ERROR_SUCCESS ? std::move(link) : nullptr;
}

// Closing the Device connection first makes the relay end the Events line too, which wakes
// its thread at once.
RelayLink::~RelayLink() {
    socket_.Reset();
    events_.reset();
}

DWORD RelayLink::Welcome(ULONGLONG deadline) {
    std::vector<std::uint8_t> frame;
    if (const DWORD error = ReceiveFrame(socket_.Get(), frame, deadline)) {
        return error;
    }
    korvel_relay::Welcome welcome{};
    if (frame.size() != sizeof(welcome)) {
        return ERROR_GEN_FAILURE;
    }
    std::memcpy(&welcome, frame.data(), sizeof(welcome));
    deviceId_ = welcome.deviceId;
    return welcome.status;
}

DWORD RelayLink::Control(DWORD callerPid, DWORD code, std::uint8_t* buffer, DWORD inLength,
                         DWORD outLength, DWORD& returned) {
    returned = 0;
    if (inLength > wire::kMaxData || outLength > wire::kMaxData ||
        (!buffer && (inLength || outLength))) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    if (broken_) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    // Whatever fails half-way leaves the stream between frames it cannot resume from.
    try {
        return Exchange(callerPid, code, buffer, inLength, outLength, returned,
                        DeadlineIn(wire::kRequestTimeoutMs));
    } catch (const std::exception&) {
        return Break(ERROR_NOT_ENOUGH_MEMORY);
    }
}

DWORD RelayLink::Exchange(DWORD callerPid, DWORD code, std::uint8_t* buffer, DWORD inLength,
                          DWORD outLength, DWORD& returned, ULONGLONG deadline) {
    const std::span<const std::uint8_t> input(buffer, inLength);
    if (const DWORD sent = SendFrame(socket_.Get(), wire::EncodeRequest(code, input, outLength))) {
        return Break(sent);
    }
    std::vector<std::uint8_t> frame;
    for (int queries = 0;; ++queries) {
        if (const DWORD received = ReceiveFrame(socket_.Get(), frame, deadline)) {
            return Break(received);
        }
        wire::DriverMessage message;
        if (!wire::ParseDriverMessage(frame, outLength, message) ||
            (message.kind == wire::Kind::ObjectQuery && queries >= wire::kMaxObjectQueries)) {
            return Break(ERROR_GEN_FAILURE);
        }
        if (message.kind == wire::Kind::Reply) {
            if (message.status == ERROR_SUCCESS && !message.output.empty()) {
                std::memcpy(buffer, message.output.data(), message.output.size());
                returned = static_cast<DWORD>(message.output.size());
            }
            return message.status;
        }
        if (const DWORD answered = AnswerQuery(callerPid, message.handleValue)) {
            return Break(answered);
        }
    }
}

// nerith-devsim asks for the object behind a handle value of the caller: the semaphore is
// duplicated into this process and its releases arrive on the Events line.
DWORD RelayLink::AnswerQuery(DWORD callerPid, std::uint32_t handleValue) {
    Win32Handle semaphore = TakeFromCaller(callerPid, handleValue);
    DWORD status = semaphore ? ERROR_SUCCESS : static_cast<DWORD>(ERROR_INVALID_HANDLE);
    if (semaphore && !events_) {
        events_ = EventLine::Start(port_, token_, deviceId_, status);
    }
    if (status == ERROR_SUCCESS) {
        events_->Hold(handleValue, std::move(semaphore));
    }
    return SendFrame(socket_.Get(), wire::EncodeObjectAnswer(status, handleValue));
}

} // namespace winekorvel
