#include "GTestReport.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>

namespace nerith::testing {

namespace {

struct Tag {
    std::string name; // "/testcase" for a closing tag
    std::map<std::string, std::string> attributes;
    bool selfClosing = false;
};

// "#65" or "#x41"; only ASCII, the rest of a name never needs decoding.
std::optional<char> CharacterReference(std::string_view entity) {
    const bool hex = entity.size() > 1 && entity[1] == 'x';
    if (entity.empty() || entity[0] != '#' || entity.size() == (hex ? 2U : 1U)) {
        return std::nullopt;
    }
    const char* end = entity.data() + entity.size();
    unsigned code = 0;
    const auto [stop, failed] =
        std::from_chars(entity.data() + (hex ? 2 : 1), end, code, hex ? 16 : 10);
    if (failed != std::errc() || stop != end || code >= 0x80) {
        return std::nullopt;
    }
    return static_cast<char>(code);
}

std::string Decode(std::string_view text) {
    static const std::map<std::string, char, std::less<>> named{
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (end == std::string_view::npos) {
            out += text[i];
            continue;
        }
        const std::string_view entity = text.substr(i + 1, end - i - 1);
        if (auto found = named.find(entity); found != named.end()) {
            out += found->second;
        } else if (auto code = CharacterReference(entity)) {
            out += *code;
        } else {
            out.append(text.substr(i, end - i + 1));
        }
        i = end;
    }
    return out;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads name="value" pairs up to the tag's end; values never hold '>' or '"' unescaped.
bool ReadAttributes(std::string_view body, Tag& tag) {
    std::size_t at = 0;
    while (true) {
        while (at < body.size() && IsSpace(body[at])) {
            ++at;
        }
        if (at == body.size()) {
            return true;
        }
        const std::size_t equals = body.find('=', at);
        if (equals == std::string_view::npos || equals + 1 >= body.size() ||
            body[equals + 1] != '"') {
            return false;
        }
        const std::size_t close = body.find('"', equals + 2);
        if (close == std::string_view::npos) {
            return false;
        }
        tag.attributes[std::string(body.substr(at, equals - at))] =
            Decode(body.substr(equals + 2, close - equals - 2));
        at = close + 1;
    }
}

// The tag at xml[at] == '<'; moves `at` past it. nullopt when it is not a well-formed tag.
std::optional<Tag> ReadTag(std::string_view xml, std::size_t& at) {
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view body = xml.substr(at + 1, end - at - 1);
    at = end + 1;
    Tag tag;
    tag.selfClosing = !body.empty() && body.back() == '/';
    if (tag.selfClosing) {
        body.remove_suffix(1);
    }
    const auto nameEnd = std::find_if(body.begin(), body.end(), IsSpace);
    tag.name.assign(body.begin(), nameEnd);
    if (tag.name.empty() || !ReadAttributes(body.substr(tag.name.size()), tag)) {
        return std::nullopt;
    }
    return tag;
}

// Moves past a declaration, comment or CDATA section at xml[at]; false when there is none.
bool SkipNonTag(std::string_view xml, std::size_t& at) {
    static const std::pair<std::string_view, std::string_view> kinds[] = {
        {"<?", "?>"}, {"<!--", "-->"}, {"<![CDATA[", "]]>"}};
    for (const auto& [open, close] : kinds) {
        if (xml.substr(at, open.size()) == open) {
            const std::size_t end = xml.find(close, at + open.size());
            at = end == std::string_view::npos ? xml.size() : end + close.size();
            return true;
        }
    }
    return false;
}

TestOutcome OutcomeOf(const Tag& testcase) {
    if (testcase.attributes.count("status") && testcase.attributes.at("status") == "notrun") {
        return TestOutcome::NotRun;
    }
    if (testcase.attributes.count("result") && testcase.attributes.at("result") == "skipped") {
        return TestOutcome::Skipped;
    }
    return TestOutcome::Passed;
}

// Follows the nesting of one report and collects its tests.
class ReportReader {
public:
    // An empty string, or what is wrong with the tag here.
    std::string Take(const Tag& tag) {
        if (tag.name == "testsuites") {
            started_ = true;
        } else if (tag.name == "/testsuites") {
            ended_ = true;
        } else if (tag.name == "testsuite") {
            suite_ = tag.attributes.count("name") ? tag.attributes.at("name") : "";
        } else if (tag.name == "/testsuite") {
            suite_.clear();
        } else if (tag.name == "testcase") {
            return TakeTestcase(tag);
        } else if (tag.name == "/testcase") {
            inTestcase_ = false;
        } else if (tag.name == "failure") {
            return TakeFailure(tag);
        }
        return {};
    }

    std::string Missing() const {
        if (!started_) {
            return "no <testsuites> element: not a GoogleTest report";
        }
        return ended_ && !inTestcase_ ? "" : "the report ends early";
    }

    std::vector<TestResult> tests;

private:
    std::string TakeTestcase(const Tag& tag) {
        if (!started_ || suite_.empty() || inTestcase_ || !tag.attributes.count("name")) {
            return "a <testcase> outside a named <testsuite>, or without a name";
        }
        const std::string& name = tag.attributes.at("name");
        tests.push_back({suite_ + "." + (name.empty() ? "<set-up>" : name), OutcomeOf(tag), ""});
        inTestcase_ = !tag.selfClosing;
        return {};
    }

    std::string TakeFailure(const Tag& tag) {
        if (!inTestcase_) {
            return "a <failure> outside a <testcase>";
        }
        TestResult& test = tests.back();
        if (test.outcome != TestOutcome::Failed && tag.attributes.count("message")) {
            test.message = tag.attributes.at("message");
        }
        test.outcome = TestOutcome::Failed;
        return {};
    }

    bool started_ = false;
    bool ended_ = false;
    bool inTestcase_ = false;
    std::string suite_;
};

bool Fail(std::string* error, const std::string& text) {
    if (error) {
        *error = text;
    }
    return false;
}

} // namespace

std::optional<GTestReport> GTestReport::Parse(std::string_view xml, std::string* error) {
    ReportReader reader;
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string_view::npos) {
        if (SkipNonTag(xml, at)) {
            continue;
        }
        const std::size_t start = at;
        const auto tag = ReadTag(xml, at);
        const std::string wrong = tag ? reader.Take(*tag) : "a malformed tag";
        if (!wrong.empty()) {
            Fail(error, wrong + " at byte " + std::to_string(start));
            return std::nullopt;
        }
    }
    if (const std::string missing = reader.Missing(); !missing.empty()) {
        Fail(error, missing);
        return std::nullopt;
    }
    GTestReport report;
    report.tests_ = std::move(reader.tests);
    return report;
}

std::optional<GTestReport> GTestReport::Read(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Fail(error, path + ": cannot be read");
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    auto report = Parse(text.str(), error);
    if (!report && error) {
        *error = path + ": " + *error;
    }
    return report;
}

int GTestReport::Count(TestOutcome outcome) const {
    return static_cast<int>(std::count_if(
        tests_.begin(), tests_.end(), [&](const TestResult& t) { return t.outcome == outcome; }));
}

} // namespace nerith::testing
