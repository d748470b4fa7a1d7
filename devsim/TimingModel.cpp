#include "TimingModel.h"

#include "platform/internal/kernel_object.h"

#include <chrono>
#include <thread>

namespace devsim {

void TimingModel::Wait(std::uint64_t microseconds) const {
    if (!enabled_ || microseconds == 0) {
        return;
    }
    charged_ += microseconds;
    const double scaled = static_cast<double>(microseconds) * platform::kernel::TimeScale();
    std::this_thread::sleep_for(std::chrono::duration<double, std::micro>(scaled));
}

} // namespace devsim
