// One open handle of \\.\korvel: its own connection to nerith-korvel-relay, which stands for
// its own connection to nerith-devsim. Requests on it are serialised, as synchronous I/O on a
// Windows handle is, and each one ends within a time-out.
#pragma once

#include "EventLine.h"
#include "WinHandles.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace winekorvel {

class RelayLink {
public:
    // nullptr with `error` set when the relay refused or could not be reached.
    static std::unique_ptr<RelayLink> Open(std::uint16_t port, std::string token, DWORD& error);
    RelayLink(const RelayLink&) = delete;
    RelayLink& operator=(const RelayLink&) = delete;
    ~RelayLink();

    // `buffer` holds `inLength` bytes of input and takes up to `outLength` bytes of output.
    DWORD Control(DWORD callerPid, DWORD code, std::uint8_t* buffer, DWORD inLength,
                  DWORD outLength, DWORD& returned);

private:
    RelayLink(std::uint16_t port, std::string token) : port_(port), token_(std::move(token)) {}
    DWORD Welcome(ULONGLONG deadline);
    DWORD Exchange(DWORD callerPid, DWORD code, std::uint8_t* buffer, DWORD inLength,
                   DWORD outLength, DWORD& returned, ULONGLONG deadline);
    DWORD AnswerQuery(DWORD callerPid, std::uint32_t handleValue);
    DWORD Break(DWORD error) {
        broken_ = true;
        return error;
    }

    WinsockSession winsock_;
    std::uint16_t port_;
    std::string token_;
    std::mutex mutex_;
    Socket socket_;
    std::uint32_t deviceId_ = 0;
    // Set once the relay vanished, broke the protocol or did not answer in time: a late reply
    // must not pass for the answer to a later request.
    bool broken_ = false;
    std::unique_ptr<EventLine> events_;
};

} // namespace winekorvel
