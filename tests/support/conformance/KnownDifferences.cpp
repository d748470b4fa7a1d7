#include "KnownDifferences.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace nerith::testing {

namespace {

constexpr std::string_view kWineDiffers = "## Wine differs from Windows";
constexpr std::string_view kFixed = "## Fixed in our substitute";
constexpr std::string_view kEntry = "- test:";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Suite.Test as GoogleTest names it, parameterised ones ("Values/Suite.Case/0") too; a name
// with anything else would not match the filter or the reports.
bool IsTestName(std::string_view name) {
    const auto dot = name.find('.');
    const bool allowed = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '/' || c == '.';
    });
    return allowed && dot != std::string_view::npos && dot > 0 && dot + 1 < name.size() &&
           name.find('.', dot + 1) == std::string_view::npos;
}

bool Fail(std::string* error, int line, const std::string& text) {
    if (error) {
        *error = (line > 0 ? "line " + std::to_string(line) + ": " : "") + text;
    }
    return false;
}

} // namespace

std::optional<KnownDifferences> KnownDifferences::Parse(std::string_view text, std::string* error) {
    KnownDifferences list;
    std::set<std::string>* section = nullptr;
    int sectionsSeen = 0;
    std::istringstream lines{std::string(text)};
    std::string raw;
    for (int number = 1; std::getline(lines, raw); ++number) {
        const std::string_view line = Trim(raw);
        if (line.rfind("## ", 0) == 0) {
            section = line == kWineDiffers ? &list.wineDiffers_
                      : line == kFixed     ? &list.fixed_
                                           : nullptr;
            sectionsSeen |= section == &list.wineDiffers_ ? 1 : section == &list.fixed_ ? 2 : 0;
            continue;
        }
        if (line.rfind(kEntry, 0) != 0) {
            continue;
        }
        const std::string name(Trim(line.substr(kEntry.size())));
        if (!section) {
            Fail(error, number, "\"" + name + "\" is outside the two sections");
            return std::nullopt;
        }
        if (!IsTestName(name)) {
            Fail(error, number, "\"" + name + "\" is not a test name of the form Suite.Test");
            return std::nullopt;
        }
        if (list.wineDiffers_.count(name) || list.fixed_.count(name)) {
            Fail(error, number, name + " is listed twice");
            return std::nullopt;
        }
        section->insert(name);
    }
    if (sectionsSeen != 3) {
        Fail(error, 0,
             "the list needs both \"" + std::string(kWineDiffers) + "\" and \"" +
                 std::string(kFixed) + "\"");
        return std::nullopt;
    }
    return list;
}

std::optional<KnownDifferences> KnownDifferences::Read(const std::string& path,
                                                       std::string* error) {
    std::ifstream file(path);
    if (!file) {
        if (error) {
            *error = path + ": cannot be read";
        }
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    auto list = Parse(text.str(), error);
    if (!list && error) {
        *error = path + ": " + *error;
    }
    return list;
}

std::string KnownDifferences::WineFilter() const {
    std::string filter;
    for (const std::string& name : wineDiffers_) {
        filter += (filter.empty() ? "-" : ":") + name;
    }
    return filter;
}

} // namespace nerith::testing
