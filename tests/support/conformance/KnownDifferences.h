// The list of where the public-API tests' two runs disagree (tests/win32/KNOWN_DIFFERENCES.md):
// a "## Wine differs from Windows" and a "## Fixed in our substitute" section, each naming its
// tests on lines "- test: Suite.Test" under "### " headings with the evidence.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace nerith::testing {

class KnownDifferences {
public:
    // nullopt and `error` set (with the line number) when the list is not in that form.
    static std::optional<KnownDifferences> Parse(std::string_view text, std::string* error);
    static std::optional<KnownDifferences> Read(const std::string& path, std::string* error);

    const std::set<std::string>& WineDiffers() const { return wineDiffers_; }
    const std::set<std::string>& FixedInSubstitute() const { return fixed_; }
    // "-A.B:C.D", for --gtest_filter; empty when Wine differs nowhere.
    std::string WineFilter() const;

private:
    std::set<std::string> wineDiffers_;
    std::set<std::string> fixed_;
};

} // namespace nerith::testing
