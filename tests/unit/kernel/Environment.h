// Environment variables set or removed for the length of one test, and the user identity the
// private temporary folder depends on.
#pragma once

#include <optional>
#include <string>

class ScopedVariable {
public:
    // Sets `name` to `value`, or removes it when `value` is empty.
    ScopedVariable(std::string name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

std::string CurrentUserId();
bool GiveAwayToAnotherUser(const std::string& path);
