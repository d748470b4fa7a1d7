// The updater's S-record reader as a program (nerith-s19-image) against srec_cat, both turning
// the same file into the same 64 KiB binary image, run alternately; the images must agree.
#pragma once

#include <optional>
#include <string>

namespace nerith::bench {

struct ReaderPrograms {
    std::string ours;    // nerith-s19-image
    std::string srecCat; // srec_cat
    std::string work;    // folder for the two images
};

struct ReaderComparison {
    double ours = 0; // median seconds of a whole run
    double srecCat = 0;
};

// nullopt with `error` set when a run fails or the two images differ.
std::optional<ReaderComparison> CompareReaders(const ReaderPrograms& programs,
                                               const std::string& s19, int runs,
                                               std::string* error);

} // namespace nerith::bench
