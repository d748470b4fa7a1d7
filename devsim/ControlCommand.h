// The control socket's commands: one text line in, one text reply out ("ok ..." or
// "error: ..."). nerith-devsim --help lists them.
#pragma once

#include "NerithDevice.h"

#include <string>

namespace devsim {

struct ControlResult {
    enum class Action { None, Replug, Stop };
    std::string reply;
    Action action = Action::None;
};

ControlResult RunControlCommand(NerithDevice& device, const std::string& line);

} // namespace devsim
