// A private Xvfb for one test: it picks a free display number itself (-displayfd), is ready
// when Start returns, and is ended when the object goes (or the test process dies).
#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace nerith::testing {

struct XvfbOptions {
    int width = 1280;
    int height = 1024;
    int depth = 24;
    std::chrono::milliseconds startTimeout{10000};
    // More server options, such as "-bs" (no backing store: without it, this Xvfb keeps the
    // contents of windows that ask for it while they are covered).
    std::vector<std::string> arguments;
};

class XvfbServer {
public:
    // The Xvfb program: $NERITH_XVFB, else Xvfb from PATH; empty when there is none.
    static std::string ProgramPath();
    static bool Available() { return !ProgramPath().empty(); }

    // nullptr and `error` set when the server does not come up within the time-out.
    static std::unique_ptr<XvfbServer> Start(const XvfbOptions& options = {},
                                             std::string* error = nullptr);
    ~XvfbServer() = default;

    // ":N", for XOpenDisplay or a child's DISPLAY.
    const std::string& DisplayName() const { return displayName_; }
    int pid() const { return process_->pid(); }
    bool Running() { return process_->Running(); }
    // Ends the server now; the destructor does the same.
    void Stop() { process_->Terminate(); }
    std::string Log() const { return process_->Stderr(); }

private:
    XvfbServer(std::unique_ptr<ChildProcess> process, std::string displayName)
        : process_(std::move(process)), displayName_(std::move(displayName)) {}

    std::unique_ptr<ChildProcess> process_;
    std::string displayName_;
};

} // namespace nerith::testing
