// The client end of nerith-devsim's control socket ("korvel.control" in the device folder):
// one text command per packet, one reply per command. Tests, the demo and the benchmarks
// all talk to the simulator through it.
#pragma once

#include "UniqueFd.h"

#include <map>
#include <string>

namespace devsim {

// A connection to the simulator serving in `deviceFolder`; invalid when none answers.
// Replies are awaited for at most 10 s, so a wedged simulator cannot hang its caller.
UniqueFd ConnectControl(const std::string& deviceFolder);
// Sends one command and returns the reply ("ok ..." / "error: ..."); "error: ..." also when
// the command cannot be sent or no reply comes.
std::string SendControl(int control, const std::string& command);
// The "key=value" words of a reply, e.g. the request counts of "stats".
std::map<std::string, std::string> ReplyFields(const std::string& reply);

} // namespace devsim
