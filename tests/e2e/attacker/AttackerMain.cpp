// nerith-test-attacker: the other user on a shared machine, as a real process of its own.
//
//   nerith-test-attacker rewrite FOLDER EVIL [--plant]
//       (--plant: first creates FOLDER/temp.s19, mode 0666, so the victim may open it) then
//       whenever FOLDER/temp.s19 has content other than EVIL's, writes EVIL's into it
//   nerith-test-attacker rename FOLDER EVIL
//       whenever FOLDER/temp.s19 is someone else's, swaps a copy of EVIL with it in one step
//   nerith-test-attacker symlink FOLDER TARGET
//   nerith-test-attacker fifo FOLDER
//       plants a symlink or a FIFO at FOLDER/temp.s19 and ends
//
// The watching modes print "ready" once they watch and run until they are ended; each hit
// prints a line. Exit status 2 for bad arguments, 1 when planting fails.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(1);

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void Ready() {
    std::puts("ready");
    std::fflush(stdout);
}

int Rewrite(const std::string& target, const std::string& evil, bool plant) {
    if (plant) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 || ::fchmod(fd, 0666) != 0) {
            return 1;
        }
        ::close(fd);
    }
    Ready();
    for (;;) {
        const std::string seen = Contents(target);
        if (!seen.empty() && seen != evil) {
            const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd >= 0 && WriteAll(fd, evil)) {
                std::puts("rewrote");
                std::fflush(stdout);
            }
            if (fd >= 0) {
                ::close(fd);
            }
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

int RenameOver(const std::string& folder, const std::string& target, const std::string& evil) {
    Ready();
    const std::string copy = folder + "/.attacker.s19";
    for (;;) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0 && st.st_uid != ::geteuid()) {
            if (::access(copy.c_str(), F_OK) != 0) {
                std::ofstream(copy, std::ios::binary) << evil;
            }
            // An exchange, not a rename: it needs the same right to remove the victim's
            // file, but cannot succeed on a name the victim has already deleted, so a hit
            // is always a file of the victim's displaced.
            if (::renameat2(AT_FDCWD, copy.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) ==
                0) {
                std::puts("renamed");
                std::fflush(stdout);
            }
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    const std::string target = folder + "/temp.s19";
    if (mode == "fifo") {
        return ::mkfifo(target.c_str(), 0666) == 0 ? 0 : 1;
    }
    if (argc < 4) {
        return 2;
    }
    const std::string argument = argv[3];
    if (mode == "symlink") {
        return ::symlink(argument.c_str(), target.c_str()) == 0 ? 0 : 1;
    }
    if (mode == "rewrite") {
        const bool plant = argc > 4 && std::string(argv[4]) == "--plant";
        return Rewrite(target, Contents(argument), plant);
    }
    if (mode == "rename") {
        return RenameOver(folder, target, Contents(argument));
    }
    return 2;
}
