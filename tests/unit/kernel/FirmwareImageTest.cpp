// The firmware image the updater carries: its records, checked here line by line, and its
// shape as an independent S-record tool (srec_info) reports it.
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SRecord {
    char type;
    unsigned address;
    std::vector<unsigned> data;
    bool checksumOk;
};

unsigned HexValue(const std::string& s, std::size_t at, std::size_t digits) {
    return static_cast<unsigned>(std::stoul(s.substr(at, digits), nullptr, 16));
}

SRecord Parse(const std::string& line) {
    SRecord r{line[1], 0, {}, false};
    const unsigned count = HexValue(line, 2, 2);
    unsigned sum = count;
    std::vector<unsigned> bytes;
    for (unsigned i = 0; i < count; ++i) {
        bytes.push_back(HexValue(line, 4 + 2 * i, 2));
        sum += bytes.back();
    }
    r.checksumOk = line.size() == 4 + 2 * count && (sum & 0xFF) == 0xFF;
    r.address = (bytes[0] << 8) | bytes[1];
    r.data.assign(bytes.begin() + 2, bytes.end() - 1);
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << at;
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

class FirmwareImage : public testing::Test {
protected:
    std::string text = ReadWholeFile(FIRMWARE_FILE);
    std::vector<std::string> lines = Lines(text);
};

TEST_F(FirmwareImage, RecordsAndLineEnds) {
    EXPECT_EQ(text.size(), 46970u);
    ASSERT_EQ(lines.size(), 625u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    int s1 = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ASSERT_GE(line.size(), 10u) << i;
        EXPECT_EQ(line.find('\r'), std::string::npos) << i;
        const SRecord r = Parse(line);
        EXPECT_TRUE(r.checksumOk) << line;
        if (r.type == '1') {
            ++s1;
            EXPECT_LE(r.data.size(), 32u) << line;
        }
    }
    EXPECT_EQ(s1, 623);
    EXPECT_EQ(lines.front().substr(0, 2), "S0");
    EXPECT_EQ(lines.back(), "S9030000FC");
}

// A 100-byte fgets returns the 144-character header in two pieces; neither may look like a
// data record to a reader that tests the second character.
TEST_F(FirmwareImage, HeaderSplitsSafelyAcrossSmallReads) {
    const std::string& header = lines.front();
    EXPECT_EQ(header.size(), 144u);
    const std::string firstPiece = header.substr(0, 99);
    const std::string secondPiece = (header + "\r\n").substr(99);
    EXPECT_NE(firstPiece[1], '1');
    EXPECT_NE(secondPiece[1], '1');
    const SRecord r = Parse(header);
    const std::string label(r.data.begin(), r.data.end());
    EXPECT_NE(label.find("1.64"), std::string::npos) << label;
}

TEST_F(FirmwareImage, VersionVectorsAndChecksumRange) {
    std::vector<int> image(0x10000, -1);
    for (const std::string& line : lines) {
        const SRecord r = Parse(line);
        for (std::size_t i = 0; r.type == '1' && i < r.data.size(); ++i) {
            EXPECT_EQ(image[r.address + i], -1) << "address given twice";
            image[r.address + i] = static_cast<int>(r.data[i]);
        }
    }
    EXPECT_EQ(image[0xDE00], 1);
    EXPECT_EQ(image[0xDE01], 64);
    const int reset = (image[0xFFFE] << 8) | image[0xFFFF];
    EXPECT_EQ(reset, 0x7000);
    EXPECT_NE(image[0x7000], -1);
    for (unsigned a = 0xF600; a <= 0xF7FD; ++a) {
        ASSERT_EQ(image[a], -1) << std::hex << a;
    }
    EXPECT_EQ(image[0x6FFF], -1);
    EXPECT_EQ(image[0xC395], -1);
}

std::string RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) {
        out += buffer;
    }
    return out;
}

TEST_F(FirmwareImage, SrecInfoReportsTheRanges) {
    const std::string report = RunCommand(std::string(SREC_INFO) + " " + FIRMWARE_FILE + " 2>&1");
    EXPECT_NE(report.find("Execution Start Address: 00000000"), std::string::npos) << report;
    std::istringstream in(report.substr(report.find("Data:") + 5));
    std::vector<std::pair<unsigned, unsigned>> ranges;
    std::string first, dash, last;
    while (in >> first >> dash >> last && dash == "-") {
        ranges.emplace_back(std::stoul(first, nullptr, 16), std::stoul(last, nullptr, 16));
    }
    ASSERT_GE(ranges.size(), 5u) << report;
    EXPECT_EQ(ranges.front().first, 0x7000u);
    const auto tail = ranges.end() - 4;
    EXPECT_EQ(tail[0].second, 0xC394u);
    EXPECT_EQ(tail[1], std::make_pair(0xDE00u, 0xDE5Fu));
    EXPECT_EQ(tail[2], std::make_pair(0xE000u, 0xE04Du));
    EXPECT_EQ(tail[3], std::make_pair(0xFFDEu, 0xFFFFu));
    unsigned bytes = 0;
    for (const auto& r : ranges) {
        bytes += r.second - r.first + 1;
    }
    EXPECT_EQ(bytes, 19668u);
}

TEST_F(FirmwareImage, GeneratorReproducesTheCommittedFile) {
    TestFolder folder;
    const std::string out = folder / "firmware.s19";
    ASSERT_EQ(std::system((std::string(GEN_FIRMWARE) + " " + out).c_str()), 0);
    EXPECT_TRUE(ReadWholeFile(out) == text);
}

} // namespace
