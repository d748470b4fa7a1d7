// The figures measured inside this process with Google Benchmark: the updater's S-record reader
// on whole files, and the window shape built from a mask against one copy of its pixels.
#pragma once

#include "platform/win32.h"

#include <optional>
#include <string>

namespace nerith::bench {

struct InProcessFigures {
    SIZE skinMask{};        // the mask 1021 of the skin library
    double readCarried = 0; // seconds per ReadS19File of the carried image
    double readLarge = 0;   // the same for the generated file
    double regionSkinMask = 0;
    double copySkinMask = 0; // memcpy of the mask's 32-bit DIB
    double regionFullHd = 0;
    double copyFullHd = 0;
};

// Google Benchmark must be initialised (benchmark::Initialize). Its report goes to standard
// error. nullopt with `error` set when a benchmark could not run.
std::optional<InProcessFigures> RunInProcessBenchmarks(const std::string& carriedImage,
                                                       const std::string& largeFile,
                                                       std::string* error);

} // namespace nerith::bench
