// nerith-korvel-relay --device=PATH: serves korvel.sys under Wine (see KorvelRelay.h). Once it
// listens it writes "PORT TOKEN" on one line to standard output; it runs until SIGINT, SIGTERM
// or SIGHUP.
#include "KorvelRelay.h"
#include "TerminationSignals.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kDeviceOption = "--device=";

} // namespace

int main(int argc, char** argv) {
    const std::string_view argument = argc == 2 ? argv[1] : "";
    if (!argument.starts_with(kDeviceOption) || argument.size() == kDeviceOption.size()) {
        std::fputs("usage: nerith-korvel-relay --device=PATH-OF-NERITH-DEVSIM-SOCKET\n", stderr);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const devsim::UniqueFd signals = devsim::BlockTerminationSignals();
    korvel_relay::KorvelRelay relay({std::string(argument.substr(kDeviceOption.size()))});
    std::string error;
    if (!signals.Valid() || !relay.Start(error)) {
        std::fprintf(stderr, "nerith-korvel-relay: %s\n",
                     signals.Valid() ? error.c_str() : std::strerror(errno));
        return 1;
    }
    std::printf("%u %s\n", static_cast<unsigned>(relay.Port()), relay.Token().c_str());
    std::fflush(stdout);
    return relay.Run(signals.Get());
}
