// nerith-devsim run as the victim, serving in a device folder of the victim's own, as the
// victim's updater requires. Root still reaches its control socket, so the test reads request
// counts and dumps the flash as usual.
#pragma once

#include "ControlClient.h"
#include "OtherUser.h"
#include "x11/X11TestSupport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nerith::e2e {

class VictimDevice {
public:
    // `folder` must exist and belong to `user`.
    VictimDevice(const OtherUser& user, std::string folder,
                 const std::vector<std::string>& arguments);
    ~VictimDevice();
    VictimDevice(const VictimDevice&) = delete;
    VictimDevice& operator=(const VictimDevice&) = delete;

    // False when the simulator did not come up; Error() says why.
    bool Running() const { return control_.Valid(); }
    const std::string& Error() const { return error_; }
    const std::string& Folder() const { return folder_; }

    unsigned Count(const std::string& kind);
    // The 65,536 flash bytes; empty when the dump failed.
    std::vector<std::uint8_t> DumpFlash();

private:
    std::string folder_;
    std::string error_;
    std::unique_ptr<testing::ChildProcess> process_;
    devsim::UniqueFd control_;
};

} // namespace nerith::e2e
