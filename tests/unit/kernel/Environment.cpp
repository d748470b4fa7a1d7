#include "Environment.h"

#include <unistd.h>

#include <cstdlib>

ScopedVariable::ScopedVariable(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        saved_ = old;
    }
    if (value) {
        ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

ScopedVariable::~ScopedVariable() {
    if (saved_) {
        ::setenv(name_.c_str(), saved_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

std::string CurrentUserId() {
    return std::to_string(::geteuid());
}

bool GiveAwayToAnotherUser(const std::string& path) {
    return ::geteuid() == 0 && ::chown(path.c_str(), 65534, 65534) == 0;
}
