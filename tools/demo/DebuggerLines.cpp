#include "DebuggerLines.h"

#include <algorithm>
#include <utility>

namespace nerith::demo {

namespace {

struct KnownLine {
    const char* text;
    const char* stage;
};

const KnownLine kKnownLines[] = {
    {"CheckFWversion  :same version!\n ", "same version"},
    {"CheckFWversion  :new version!\n ", "new version"},
    {"CheckFWversion  :old version!\n ", "old version"},
    {"VerifyAll begin", "verify"},
    {"OnBVerify Fail to open device !", "verify (library did not open)"},
    {"OnBMasserase begin\n", "erase"},
    {"ProgramAll begin", "program"},
};

} // namespace

std::vector<std::string> DebuggerLinesIn(const std::string& stderrText) {
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const KnownLine& line : kKnownLines) {
        const std::string text = line.text;
        for (std::size_t at = stderrText.find(text); at != std::string::npos;
             at = stderrText.find(text, at + text.size())) {
            found.emplace_back(at, text);
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> lines;
    lines.reserve(found.size());
    for (auto& [at, text] : found) {
        lines.push_back(std::move(text));
    }
    return lines;
}

std::string DescribeStages(const std::vector<std::string>& lines) {
    std::string description;
    for (const std::string& text : lines) {
        for (const KnownLine& line : kKnownLines) {
            if (text == line.text) {
                description += (description.empty() ? "" : " -> ") + std::string(line.stage);
            }
        }
    }
    return description.empty() ? "none" : description;
}

} // namespace nerith::demo
