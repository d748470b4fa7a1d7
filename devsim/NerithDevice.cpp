#include "NerithDevice.h"

#include "app/DriverChannel.h"
#include "isp/IcpControlCode.h"
#include "ispdll/IspProtocol.h"

#include <cerrno>
#include <cstring>

namespace devsim {

namespace {

namespace proto = isp_protocol;
using Input = std::span<const std::uint8_t>;

Outcome Reply(std::uint32_t status, std::vector<std::uint8_t> output = {}) {
    return {Outcome::Action::Reply, status, std::move(output), 0};
}

bool Sizes(Input input, std::uint32_t outLength, std::size_t in, std::uint32_t out) {
    return input.size() == in && outLength == out;
}

template <typename T> T Read(Input input) {
    T value{};
    std::memcpy(&value, input.data(), sizeof(T));
    return value;
}

struct Block {
    proto::BlockHeader header{};
    Input data;
};

bool ParseBlock(Input input, std::uint32_t outLength, Block& block) {
    if (outLength != 0 || input.size() < sizeof(proto::BlockHeader)) {
        return false;
    }
    block.header = Read<proto::BlockHeader>(input);
    block.data = input.subspan(sizeof(proto::BlockHeader));
    const std::uint32_t first = block.header.first;
    const std::uint32_t length = block.header.length;
    return length != 0 && block.data.size() == length && first + length <= proto::kAddressSpace &&
           proto::PagesTouched(first, length) <= proto::kMaxBlockPages;
}

// The first marked address of a block, or the block's end when it marks nothing.
std::uint32_t FirstMarked(const Block& block) {
    const std::uint32_t end = block.header.first + block.header.length;
    for (std::uint32_t a = block.header.first; a < end; ++a) {
        if (proto::PageMarked(block.header, a)) {
            return a;
        }
    }
    return end;
}

} // namespace

Outcome NerithDevice::Handle(ClientState& client, const platform::devices::wire::Request& r) {
    timing_.Request();
    switch (r.code) {
    case IOCTL_REGISTER_SEMAPHORE:
        ++stats_["register"];
        return RegisterSemaphore(r.input, r.outLength);
    case IOCTL_GET_EVENT:
        ++stats_["get_event"];
        return GetEvent(r.input, r.outLength);
    case IOCTL_GET_FW_VERSION:
        ++stats_["fw_version"];
        return GetVersion(client, r.input, r.outLength);
    case IOCTL_ENTER_ICP:
        ++stats_["enter_icp"];
        return EnterIcp(r.input, r.outLength);
    case proto::kOpen:
        ++stats_["isp_open"];
        return IspOpen(client, r.input, r.outLength);
    case proto::kClose:
        ++stats_["isp_close"];
        client.ispOpen = false;
        return Reply(Sizes(r.input, r.outLength, 0, 0) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
    case proto::kErase:
        ++stats_["erase"];
        return IspErase(client, r.input, r.outLength);
    case proto::kMassErase:
        ++stats_["mass_erase"];
        return IspMassErase(client, r.input, r.outLength);
    case proto::kProgram:
        ++stats_["program"];
        return IspProgram(client, r.input, r.outLength);
    case proto::kVerify:
        ++stats_["verify"];
        return IspVerify(client, r.input, r.outLength);
    case proto::kRead:
        ++stats_["read"];
        return IspRead(client, r.input, r.outLength);
    default:
        ++stats_["unknown"];
        return Reply(ERROR_INVALID_FUNCTION);
    }
}

Outcome NerithDevice::RegisterSemaphore(Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, 4, 0)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (faults_.registerRefused) {
        return Reply(ERROR_ACCESS_DENIED);
    }
    return {Outcome::Action::QueryObject, 0, {}, Read<std::uint32_t>(input)};
}

Outcome NerithDevice::FinishRegistration(const ClientState& client, UniqueFd semaphore) {
    if (!semaphore.Valid()) {
        return Reply(ERROR_INVALID_HANDLE);
    }
    semaphore_ = std::move(semaphore);
    semaphoreOwner_ = client.id;
    return Reply(ERROR_SUCCESS);
}

void NerithDevice::ClientClosed(const ClientState& client) {
    // The registration belongs to the handle that made it, as a driver drops it on close.
    if (semaphore_.Valid() && semaphoreOwner_ == client.id) {
        semaphore_.Reset();
        semaphoreOwner_ = 0;
    }
}

Outcome NerithDevice::GetEvent(Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, 4, 4)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (events_.empty()) {
        return Reply(ERROR_NO_MORE_ITEMS);
    }
    const std::uint32_t word = events_.front();
    events_.pop_front();
    std::vector<std::uint8_t> output(4);
    std::memcpy(output.data(), &word, 4);
    return Reply(ERROR_SUCCESS, std::move(output));
}

Outcome NerithDevice::GetVersion(ClientState& client, Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, kVersionReplySize, kVersionReplySize)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (mode_ != Mode::Firmware) {
        return Reply(ERROR_NOT_READY);
    }
    ++client.versionRequests;
    std::vector<std::uint8_t> output(kVersionReplySize, 0);
    if (versionForm_ == VersionForm::First || client.versionRequests % 2 == 0) {
        output[0] = flash_.At(kVersionAddress);
        output[1] = flash_.At(kVersionAddress + 1);
    }
    return Reply(ERROR_SUCCESS, std::move(output));
}

Outcome NerithDevice::EnterIcp(Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, 1, 0) || input[0] != 0x01) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (faults_.icpRefused) {
        return Reply(ERROR_GEN_FAILURE);
    }
    if (mode_ != Mode::Programming) {
        mode_ = Mode::Programming;
        ispOpens_ = 0;
        verifyBlocks_ = 0;
        programBlocks_ = 0;
    }
    return Reply(ERROR_SUCCESS);
}

void NerithDevice::Replug() {
    mode_ = Mode::Firmware;
    semaphore_.Reset();
    semaphoreOwner_ = 0;
    events_.clear();
}

std::string NerithDevice::EmitEvent(std::uint32_t word) {
    if (mode_ != Mode::Firmware) {
        return "the firmware is not running (programming mode)";
    }
    if (events_.size() >= kMaxPendingEvents) {
        return "too many events nobody fetched";
    }
    events_.push_back(word);
    if (!semaphore_.Valid()) {
        return "";
    }
    const std::uint64_t one = 1;
    if (::write(semaphore_.Get(), &one, sizeof(one)) != static_cast<ssize_t>(sizeof(one))) {
        return std::string("releasing the semaphore failed: ") + std::strerror(errno);
    }
    return "";
}

std::uint32_t NerithDevice::IspReady(const ClientState& client) const {
    return (mode_ == Mode::Programming && client.ispOpen) ? ERROR_SUCCESS : ERROR_NOT_READY;
}

std::uint32_t NerithDevice::IspAllowed(const ClientState& client, std::uint32_t first,
                                       std::uint32_t last) {
    const bool inRegion = first >= client.first && last <= client.last;
    const bool inVectors = first >= client.vectorFirst && last < proto::kAddressSpace;
    return first <= last && (inRegion || inVectors) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

Outcome NerithDevice::IspOpen(ClientState& client, Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, sizeof(proto::OpenParameters), 0)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (mode_ != Mode::Programming) {
        return Reply(ERROR_NOT_READY);
    }
    const auto p = Read<proto::OpenParameters>(input);
    if (p.startAddress > p.lastAddress || p.lastAddress >= proto::kAddressSpace ||
        p.vectorFirst >= proto::kAddressSpace) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    ++ispOpens_;
    if (faults_.neverAnswers || ispOpens_ <= static_cast<unsigned>(faults_.answerAfter)) {
        return Reply(ERROR_TIMEOUT);
    }
    client.ispOpen = true;
    client.first = p.startAddress;
    client.last = p.lastAddress;
    client.vectorFirst = p.vectorFirst;
    return Reply(ERROR_SUCCESS);
}

Outcome NerithDevice::IspErase(const ClientState& client, Input input, std::uint32_t outLength) {
    if (!Sizes(input, outLength, sizeof(proto::EraseRange), 0)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t ready = IspReady(client)) {
        return Reply(ready);
    }
    const auto range = Read<proto::EraseRange>(input);
    if (range.first > range.last) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t allowed = IspAllowed(client, range.first, range.last)) {
        return Reply(allowed);
    }
    if (faults_.vanishesAtErase) {
        return {Outcome::Action::Vanish, 0, {}, 0};
    }
    if (faults_.eraseFails) {
        return Reply(ERROR_WRITE_FAULT);
    }
    timing_.ErasePages(flash_.ErasePages(range.first, range.last));
    return Reply(ERROR_SUCCESS);
}

Outcome NerithDevice::IspMassErase(const ClientState& client, Input input,
                                   std::uint32_t outLength) {
    if (!Sizes(input, outLength, 0, 0)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t ready = IspReady(client)) {
        return Reply(ready);
    }
    if (faults_.vanishesAtErase) {
        return {Outcome::Action::Vanish, 0, {}, 0};
    }
    if (faults_.eraseFails) {
        return Reply(ERROR_WRITE_FAULT);
    }
    flash_.EraseAll();
    timing_.MassErase();
    return Reply(ERROR_SUCCESS);
}

Outcome NerithDevice::IspProgram(const ClientState& client, Input input, std::uint32_t outLength) {
    Block block;
    if (!ParseBlock(input, outLength, block)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t ready = IspReady(client)) {
        return Reply(ready);
    }
    const std::uint32_t last = block.header.first + block.header.length - 1u;
    if (const std::uint32_t allowed = IspAllowed(client, block.header.first, last)) {
        return Reply(allowed);
    }
    const unsigned index = programBlocks_++;
    if (faults_.vanishesAt == index) {
        return {Outcome::Action::Vanish, 0, {}, 0};
    }
    if (faults_.programRefusedAt == index) {
        return Reply(ERROR_WRITE_FAULT);
    }
    const std::uint32_t stuck = faults_.programFailsAt == index ? FirstMarked(block) : ~0u;
    std::uint32_t programmed = 0;
    for (std::uint32_t i = 0; i < block.header.length; ++i) {
        const std::uint32_t address = block.header.first + i;
        if (proto::PageMarked(block.header, address) && address != stuck) {
            flash_.Program(address, block.data[i]);
            ++programmed;
        }
    }
    timing_.ProgramBytes(programmed);
    Outcome outcome = Reply(ERROR_SUCCESS);
    outcome.freezeFirst = faults_.freezesAt == index;
    return outcome;
}

Outcome NerithDevice::IspVerify(const ClientState& client, Input input, std::uint32_t outLength) {
    Block block;
    if (!ParseBlock(input, outLength, block)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t ready = IspReady(client)) {
        return Reply(ready);
    }
    const unsigned index = verifyBlocks_++;
    if (faults_.vanishesAtVerify == index) {
        return {Outcome::Action::Vanish, 0, {}, 0};
    }
    if (faults_.verifyFailsAt == index) {
        return Reply(ERROR_INVALID_DATA);
    }
    for (std::uint32_t i = 0; i < block.header.length; ++i) {
        const std::uint32_t address = block.header.first + i;
        if (proto::PageMarked(block.header, address) && flash_.At(address) != block.data[i]) {
            return Reply(ERROR_INVALID_DATA);
        }
    }
    return Reply(ERROR_SUCCESS);
}

Outcome NerithDevice::IspRead(const ClientState& client, Input input, std::uint32_t outLength) {
    if (input.size() != sizeof(proto::ReadRange)) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    const auto range = Read<proto::ReadRange>(input);
    if (range.length == 0 || outLength != range.length ||
        range.first + static_cast<std::uint32_t>(range.length) > proto::kAddressSpace) {
        return Reply(ERROR_INVALID_PARAMETER);
    }
    if (const std::uint32_t ready = IspReady(client)) {
        return Reply(ready);
    }
    const auto bytes = flash_.Bytes().subspan(range.first, range.length);
    return Reply(ERROR_SUCCESS, {bytes.begin(), bytes.end()});
}

} // namespace devsim
