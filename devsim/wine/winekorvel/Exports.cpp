// The C entry points that korvel.sys imports. No exception leaves them: the driver is C.
#include "KorvelLink.h"
#include "RelayLink.h"
#include "RelayProtocol.h"

#include <new>

static_assert(KORVEL_TOKEN_LENGTH == korvel_relay::kTokenLength);

struct KorvelLink {
    std::unique_ptr<winekorvel::RelayLink> link;
};

extern "C" KorvelLink* KorvelLinkOpen(unsigned short port, const char* token,
                                      unsigned long* error) {
    try {
        DWORD status = ERROR_SUCCESS;
        auto link =
            winekorvel::RelayLink::Open(port, std::string(token, KORVEL_TOKEN_LENGTH), status);
        *error = status;
        return link ? new KorvelLink{std::move(link)} : nullptr;
    } catch (const std::bad_alloc&) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
}

extern "C" unsigned long KorvelLinkControl(KorvelLink* link, unsigned long callerPid,
                                           unsigned long code, void* buffer, unsigned long inLength,
                                           unsigned long outLength, unsigned long* returned) {
    *returned = 0;
    if (!link) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD count = 0;
    const DWORD status = link->link->Control(callerPid, code, static_cast<std::uint8_t*>(buffer),
                                             inLength, outLength, count);
    *returned = count;
    return status;
}

extern "C" void KorvelLinkClose(KorvelLink* link) {
    delete link;
}
