#include "Options.h"

namespace devsim {

namespace {

bool IsSetting(const std::string& key) {
    return key == "flash" || key == "image-version" || key == "version-form" || key == "fault" ||
           key == "answer-after" || key == "timing";
}

bool ApplyOption(const std::string& key, const std::string& value, bool hasValue, Options& options,
                 std::string& error) {
    if (key == "help" && !hasValue) {
        options.help = true;
    } else if (key == "dir" && hasValue && !value.empty()) {
        options.folder = value;
    } else if (key == "name" && hasValue && !value.empty()) {
        options.name = value;
    } else if (key == "timing" && !hasValue) {
        options.settings.emplace_back(key, "on");
    } else if (IsSetting(key) && hasValue) {
        options.settings.emplace_back(key, value);
    } else {
        error = "unknown or incomplete option --" + key + (hasValue ? "=" + value : "");
        return false;
    }
    return true;
}

} // namespace

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            error = "unexpected argument '" + argument + "'";
            return false;
        }
        const auto equals = argument.find('=');
        const std::string key = argument.substr(2, equals - 2);
        const bool hasValue = equals != std::string::npos;
        if (!ApplyOption(key, hasValue ? argument.substr(equals + 1) : "", hasValue, options,
                         error)) {
            return false;
        }
    }
    return true;
}

const char* HelpText() {
    return R"(Usage: nerith-devsim [OPTION]...
The simulated Nerith: serves the device "\\.\NAME" (default korvel) to the updater, as its
driver, firmware, MCU and 64 KiB of flash would.

Sockets (AF_UNIX SOCK_SEQPACKET) in the device folder:
  NAME           the device; the updater's CreateFileA("\\.\NAME") connects here
  NAME.control   control commands, one text line per packet, one reply per command
The device folder is $NERITH_DEVICE_DIR, or /tmp/nerith-devices-<uid> when that is unset.
It is created (mode 0700) when missing; the sockets are removed on exit (also on SIGINT,
SIGTERM and SIGHUP).

Options:
  --dir=DIR              device folder instead of the default above
  --name=NAME            device name (default korvel)
  --flash=FILE           initial flash from an S-record file (0xFF where it gives nothing);
                         without --flash or --image-version the flash holds the carried
                         firmware image as built
  --image-version=A,B    initial flash: the carried firmware image with version bytes A and B
                         at 0xDE00 and 0xDE01 (decimal or 0x hex)
  --version-form=FORM    first: the version reply carries the bytes at once (default);
                         second: every first request of a handle gets zeros and the repeat
                         gets the bytes (the form the updater reads as a little-endian word)
  --fault=FAULT          inject a fault; may be repeated:
                           no-device         nothing serves the device socket
                           register-refused  IOCTL_REGISTER_SEMAPHORE fails
                           icp-refused       IOCTL_ENTER_ICP fails
                           no-answer         the MCU never answers an ISP open
                           erase             every erase and mass erase fails
                           verify-at:K       the K-th verify block request fails
                           program-at:K      the K-th program block request leaves its first
                                             marked byte unprogrammed (a stuck cell that
                                             the read-back finds)
                           mcu-refuses-program-at:K  the MCU answers the K-th program block
                                             request with an error and writes nothing of it
                           vanish-at:K       the device is unplugged at the K-th program
                                             block request
                           vanish-verify-at:K  ... at the K-th verify block request
                           vanish-erase      ... at its erase or mass erase request
                           freeze-at:K       the driver stops itself (SIGSTOP) at the K-th
                                             program block request and answers it only
                                             after a SIGCONT
                         K counts block requests of that kind from 0, since the device last
                         entered programming mode.
                         Whatever the faults, the MCU refuses (ERROR_ACCESS_DENIED) to erase or
                         program a byte outside the region and vector area its ISP open named.
  --answer-after=N       the MCU leaves the first N ISP opens unanswered
  --timing               HC908 timing: 30 us per programmed byte, 2 ms per erased 64-byte
                         page, 4 ms per mass erase, 200 us per request; scaled by
                         NERITH_TIME_SCALE
  --help                 show this text

Control commands (on NAME.control):
  state                  mode, plugged, semaphore, pending events, version bytes
  stats                  request counts by kind (get_event, fw_version, register, enter_icp,
                         isp_open, isp_close, erase, mass_erase, program, verify, read,
                         malformed, unknown)
  event WORD             queue an event word and release the registered semaphore once
  replug                 unplug and plug in again: connections drop, programming mode ends,
                         the firmware boots from flash, the registration is gone
  unplug                 the device vanishes until replug
  dump-bin FILE          write the 65,536 flash bytes
  dump-s19 FILE          write the flash as S-records (S0, 32-byte S1 records, S9)
  timed                  the device time the timing model has charged, unscaled (us=N)
  stop                   exit
  flash FILE | image-version A,B | version-form FORM | fault FAULT | answer-after N |
  timing on|off | clear-faults
                         as the options above, at run time
Replies are "ok [details]" or "error: reason".
)";
}

} // namespace devsim
