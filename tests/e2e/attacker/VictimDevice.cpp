#include "VictimDevice.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef NERITH_DEVSIM_PATH
#error "NERITH_DEVSIM_PATH must name the nerith-devsim binary"
#endif

namespace nerith::e2e {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

} // namespace

VictimDevice::VictimDevice(const OtherUser& user, std::string folder,
                           const std::vector<std::string>& arguments)
    : folder_(std::move(folder)) {
    std::vector<std::string> command = {NERITH_DEVSIM_PATH, "--dir=" + folder_};
    command.insert(command.end(), arguments.begin(), arguments.end());
    testing::ProcessOptions options;
    options.argv = user.Command(command);
    process_ = testing::ChildProcess::Start(options, &error_);
    if (!process_) {
        return;
    }
    const bool serving = testing::WaitFor(
        [&] {
            control_ = devsim::ConnectControl(folder_);
            return control_.Valid() || !process_->Running();
        },
        kStartTimeout);
    if (!serving || !control_.Valid()) {
        error_ = "nerith-devsim did not serve as the victim: " + process_->Stderr();
    }
}

VictimDevice::~VictimDevice() {
    if (control_.Valid()) {
        devsim::SendControl(control_.Get(), "stop");
    }
}

unsigned VictimDevice::Count(const std::string& kind) {
    if (!control_.Valid()) {
        return 0;
    }
    const auto fields = devsim::ReplyFields(devsim::SendControl(control_.Get(), "stats"));
    const auto found = fields.find(kind);
    return found == fields.end() ? 0 : static_cast<unsigned>(std::stoul(found->second));
}

std::vector<std::uint8_t> VictimDevice::DumpFlash() {
    const std::string path = folder_ + "/flash.bin";
    if (!control_.Valid() || devsim::SendControl(control_.Get(), "dump-bin " + path) != "ok") {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    return bytes;
}

} // namespace nerith::e2e
