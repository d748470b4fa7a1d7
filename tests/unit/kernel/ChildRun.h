// A test body run in a forked child, as another user or under a file-size limit, so that the
// change never reaches the test process. The body's report comes back through a pipe.
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <optional>
#include <string>

// User ids that no account has: a victim and the owner of planted files.
constexpr unsigned kVictimUid = 61001;
constexpr unsigned kAttackerUid = 61002;

struct ChildSetup {
    unsigned uid = 0;             // the child's user and group id; 0 keeps ours
    long long fileSizeLimit = -1; // RLIMIT_FSIZE in bytes; -1 leaves it alone
};

struct ChildReport {
    bool handleValid = false;
    DWORD error = 0;
    DWORD count = 0;
};

// Nothing when the child could not be set up or died before reporting (a signal, say); then
// `ending` says how it ended.
std::optional<ChildReport>
RunInChild(const ChildSetup& setup, const std::function<ChildReport()>& body, std::string* ending);
