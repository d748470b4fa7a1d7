// A private folder under the system's temporary folder for one test, removed with everything in
// it afterwards. Standard library only, so it works against our substitute and real Win32 alike.
#pragma once

#include <string>

namespace win32test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& Path() const { return path_; }
    // `name` inside the folder, joined with a backslash as the updater joins its paths.
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
bool MakeFolder(const std::string& path);

} // namespace win32test
