#include "DevsimControl.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace nerith::demo {

std::string DevsimCommand(const std::string& deviceDir, const std::string& command) {
    const devsim::UniqueFd control = devsim::ConnectControl(deviceDir);
    if (!control.Valid()) {
        return "error: nerith-devsim does not answer in " + deviceDir;
    }
    return devsim::SendControl(control.Get(), command);
}

bool WaitForDevsim(const std::string& deviceDir, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (devsim::ConnectControl(deviceDir).Valid()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

std::vector<std::uint8_t> DumpDevsimFlash(const std::string& deviceDir, const std::string& file) {
    if (DevsimCommand(deviceDir, "dump-bin " + file).rfind("ok", 0) != 0) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(file.c_str());
    return bytes.size() == 0x10000 ? bytes : std::vector<std::uint8_t>();
}

} // namespace nerith::demo
