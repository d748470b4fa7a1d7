#include "ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace win32test {

namespace {

// Our substitute reads backslashes as separators; the standard library on Linux does not.
std::filesystem::path Native(const std::string& path) {
    std::string native = path;
    if (std::filesystem::path::preferred_separator == '/') {
        for (char& c : native) {
            c = c == '\\' ? '/' : c;
        }
    }
    return std::filesystem::path(native);
}

} // namespace

ScratchFolder::ScratchFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / ("nerith-win32-" + std::to_string(random() % 1000000000u));
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate.string();
            return;
        }
    }
}

ScratchFolder::~ScratchFolder() {
    if (path_.empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(Native(path_), ignored);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(Native(path), error);
}

bool MakeFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::create_directory(Native(path), error);
}

} // namespace win32test
