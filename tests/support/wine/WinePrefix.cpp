#include "WinePrefix.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace nerith::testing {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kLoader = "/usr/lib/wine/wine64"; // starts 32-bit programs too (wine32)
constexpr const char* kServer = "/usr/lib/wine/wineserver";
constexpr const char* kFonts = "/usr/share/wine/fonts";

// NERITH_WINEDEBUG adds Wine's debug channels when a test needs looking into.
std::string Channels(const std::string& forProgram) {
    const char* more = std::getenv("NERITH_WINEDEBUG");
    return std::string("-all,warn+debugstr") + (forProgram.empty() ? "" : "," + forProgram) +
           (more && *more ? std::string(",") + more : "");
}

bool Fail(std::string* error, const std::string& text) {
    if (error) {
        *error = text;
    }
    return false;
}

bool Alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Ends every process of a prefix (its wineserver and what it serves) and waits for them.
void EndPrefixProcesses(const std::string& prefix) {
    for (const char* option : {"-k", "-w"}) {
        ProcessOptions options;
        options.argv = {kServer, option};
        options.setEnv = {{"WINEPREFIX", prefix}};
        if (auto server = ChildProcess::Start(options)) {
            server->Wait(30s);
        }
    }
}

// A run that was killed could not end its prefix's processes nor remove its folder; the next
// run does, for every prefix whose owner is gone.
void RemoveStalePrefixes() {
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), failed)) {
        const std::string name = entry.path().filename().string();
        pid_t owner = 0;
        if (name.rfind("nerith-wine.", 0) != 0 ||
            !(std::ifstream(entry.path() / "owner") >> owner) || Alive(owner)) {
            continue;
        }
        EndPrefixProcesses((entry.path() / "prefix").string());
        std::error_code ignored;
        fs::remove_all(entry.path(), ignored);
    }
}

} // namespace

bool WinePrefix::Available() {
    return ::access(kLoader, X_OK) == 0 && ::access(kServer, X_OK) == 0;
}

std::unique_ptr<WinePrefix> WinePrefix::Create(const std::string& displayName, std::string* error) {
    RemoveStalePrefixes();
    std::string pattern = (fs::temp_directory_path() / "nerith-wine.XXXXXX").string();
    if (!::mkdtemp(pattern.data()) || !(std::ofstream(pattern + "/owner") << ::getpid())) {
        Fail(error, "cannot make a folder for the prefix");
        return nullptr;
    }
    std::unique_ptr<WinePrefix> prefix(new WinePrefix(pattern, displayName));
    if (!prefix->Boot(error)) {
        return nullptr;
    }
    return prefix;
}

WinePrefix::WinePrefix(std::string folder, std::string displayName)
    : folder_(std::move(folder)), prefix_(folder_ + "/prefix"),
      displayName_(std::move(displayName)) {}

WinePrefix::~WinePrefix() {
    EndPrefixProcesses(prefix_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

ProcessOptions WinePrefix::Options(const std::vector<std::string>& argv,
                                   const std::string& moreChannels) const {
    ProcessOptions options;
    options.argv = argv;
    options.setEnv = {{"WINEPREFIX", prefix_},
                      {"WINEARCH", "win64"},
                      {"WINESERVER", kServer},
                      {"DISPLAY", displayName_},
                      {"WINEDEBUG", Channels(moreChannels)},
                      // no installer prompts for Mono and Gecko
                      {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
    options.workingDirectory = folder_;
    return options;
}

bool WinePrefix::RunTool(const std::vector<std::string>& argv, std::chrono::seconds timeout,
                         std::string* error) {
    std::string startError;
    auto tool = ChildProcess::Start(Options(argv), &startError);
    if (!tool) {
        return Fail(error, argv.back() + ": " + startError);
    }
    const std::optional<int> status = tool->Wait(timeout);
    if (status != 0) {
        return Fail(error,
                    argv.back() + (status ? " failed: " : " did not finish: ") + tool->Stderr());
    }
    return true;
}

bool WinePrefix::Boot(std::string* error) {
    // A busy machine takes half a minute for a fresh prefix.
    if (!RunTool({kLoader, "wineboot", "-i"}, 180s, error)) {
        return false;
    }
    const std::string reg = std::string(NERITH_WINE_SUPPORT_DIR) + "/referee-prefix.reg";
    if (!RunTool({kLoader, "regedit", "/S", reg}, 60s, error)) {
        return false;
    }
    // This Wine does not find its own fonts (MS Sans Serif for dialogs, Marlett) by itself.
    std::error_code failed;
    for (const auto& font : fs::directory_iterator(kFonts, failed)) {
        fs::copy_file(font.path(), DriveC() + "/windows/Fonts/" + font.path().filename().string(),
                      fs::copy_options::overwrite_existing, failed);
        if (failed) {
            return Fail(error, "cannot copy " + font.path().string() + ": " + failed.message());
        }
    }
    // The registry reaches the disk before the persistent server starts; Wine's services,
    // which would inherit a program's output files, start now with the tool's own.
    return RunTool({kServer, "-w"}, 60s, error) && RunTool({kServer, "-p"}, 30s, error) &&
           RunTool({kLoader, "wineboot"}, 120s, error);
}

bool WinePrefix::SetUserEnvironment(const std::string& name, const std::string& value) {
    return RunTool({kLoader, "reg", "add", "HKCU\\Environment", "/v", name, "/d", value, "/f"}, 60s,
                   nullptr);
}

bool WinePrefix::Run(const std::vector<std::string>& argv, std::chrono::seconds timeout,
                     std::string* error) {
    std::vector<std::string> command{kLoader};
    command.insert(command.end(), argv.begin(), argv.end());
    return RunTool(command, timeout, error);
}

std::unique_ptr<ChildProcess> WinePrefix::Start(const std::vector<std::string>& argv,
                                                const std::string& workingDirectory,
                                                std::string* error,
                                                const std::string& moreChannels) {
    std::vector<std::string> command{kLoader};
    command.insert(command.end(), argv.begin(), argv.end());
    ProcessOptions options = Options(command, moreChannels);
    options.workingDirectory = workingDirectory;
    return ChildProcess::Start(options, error);
}

std::vector<std::string> WinePrefix::FilesOn(const std::string& folderOfDriveC) const {
    std::vector<std::string> names;
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(DriveC() + "/" + folderOfDriveC, failed)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

} // namespace nerith::testing
