// The updater's debugger lines, which the platform writes to standard error as they are.
#pragma once

#include <string>
#include <vector>

namespace nerith::demo {

// The known debugger lines found in `stderrText`, in the order they were written. Lines are
// not separated reliably (some have no line feed), so they are found as exact texts.
std::vector<std::string> DebuggerLinesIn(const std::string& stderrText);
// The same, shortened for a report: "new version", "verify", "erase", "program".
std::string DescribeStages(const std::vector<std::string>& lines);

} // namespace nerith::demo
