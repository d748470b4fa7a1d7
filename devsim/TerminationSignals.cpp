#include "TerminationSignals.h"

#include <signal.h>
#include <sys/signalfd.h>

namespace devsim {

UniqueFd BlockTerminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        return UniqueFd();
    }
    return UniqueFd(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
}

} // namespace devsim
