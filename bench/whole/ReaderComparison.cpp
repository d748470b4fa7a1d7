#include "ReaderComparison.h"

#include "Statistics.h"
#include "TimedProcess.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace nerith::bench {

namespace {

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
}

// srec_cat keeps the last of several values for one address, as the updater's reader does.
std::vector<std::string> SrecCatCommand(const ReaderPrograms& programs, const std::string& s19,
                                        const std::string& out) {
    return {programs.srecCat,
            "-contradictory-bytes=ignore",
            "-redundant-bytes=ignore",
            "-disable-sequence-warnings",
            s19,
            "-fill",
            "0xFF",
            "0x0000",
            "0x10000",
            "-o",
            out,
            "-binary"};
}

bool SameImages(const std::string& ours, const std::string& theirs, std::string* error) {
    const std::vector<char> a = ReadFile(ours);
    const std::vector<char> b = ReadFile(theirs);
    if (a.size() == 0x10000 && a == b) {
        return true;
    }
    *error = "nerith-s19-image and srec_cat made different images (" + std::to_string(a.size()) +
             " and " + std::to_string(b.size()) + " bytes)";
    return false;
}

} // namespace

std::optional<ReaderComparison> CompareReaders(const ReaderPrograms& programs,
                                               const std::string& s19, int runs,
                                               std::string* error) {
    const std::string oursOut = programs.work + "/ours.bin";
    const std::string theirsOut = programs.work + "/srec_cat.bin";
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < runs; ++i) {
        const auto a = RunTimed({programs.ours, s19, oursOut}, error);
        const auto b = a ? RunTimed(SrecCatCommand(programs, s19, theirsOut), error) : std::nullopt;
        if (!a || !b) {
            return std::nullopt;
        }
        ours.push_back(*a);
        theirs.push_back(*b);
    }
    const bool same = SameImages(oursOut, theirsOut, error);
    std::remove(oursOut.c_str());
    std::remove(theirsOut.c_str());
    if (!same) {
        return std::nullopt;
    }
    return ReaderComparison{Median(ours), Median(theirs)};
}

} // namespace nerith::bench
