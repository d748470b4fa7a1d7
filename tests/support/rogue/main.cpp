// nerith-rogue-driver --dir=FOLDER [--name=NAME] [--silent] [--stall-at-program=N]
#include "RogueServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

bool Parse(int argc, char** argv, nerith::rogue::RogueOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--dir=")) {
            options.folder = argument.substr(6);
        } else if (argument.starts_with("--name=")) {
            options.name = argument.substr(7);
        } else if (argument == "--silent") {
            options.silent = true;
        } else if (argument.starts_with("--stall-at-program=")) {
            options.stallAtProgram = static_cast<unsigned>(std::atoi(argv[i] + 19));
        } else {
            return false;
        }
    }
    return !options.folder.empty();
}

} // namespace

int main(int argc, char** argv) {
    nerith::rogue::RogueOptions options;
    if (!Parse(argc, argv, options)) {
        std::fputs("usage: nerith-rogue-driver --dir=FOLDER [--name=NAME] [--silent] "
                   "[--stall-at-program=N]\n",
                   stderr);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    nerith::rogue::RogueServer server(options);
    std::string error;
    if (!server.Listen(error)) {
        std::fprintf(stderr, "nerith-rogue-driver: %s\n", error.c_str());
        return 1;
    }
    server.Run();
    return 1;
}
