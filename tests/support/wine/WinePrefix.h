// A throw-away Wine prefix for running the Windows build under test: booted once
// (wineboot -i, no Mono or Gecko), with the referee settings (classic colours, no visual
// styles, frames drawn by Wine, Wine's own fonts in C:\windows\Fonts), one persistent
// wineserver and Wine's services already running. Everything goes with the object: the
// wineserver and every process of the prefix are ended and the folder removed. A run killed
// before that leaves them to the next Create, which ends and removes the prefixes of runs
// that are gone.
//
//   auto prefix = WinePrefix::Create(xvfb->DisplayName(), &error);
//   prefix->SetUserEnvironment("TEMP", "C:\\temp");
//   auto program = prefix->Start({"C:\\app\\program.exe"}, prefix->DriveC() + "/app");
//
// Programs run with WINEDEBUG=-all,warn+debugstr, so what they give OutputDebugStringA shows
// on their standard error as `warn:debugstr:OutputDebugStringA "text"`.
#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace nerith::testing {

class WinePrefix {
public:
    // Whether Wine is installed.
    static bool Available();
    // nullptr and `error` set when the prefix cannot be made.
    static std::unique_ptr<WinePrefix> Create(const std::string& displayName,
                                              std::string* error = nullptr);
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    // The Unix path of C:\.
    std::string DriveC() const { return prefix_ + "/drive_c"; }
    // The names in a folder of drive C (e.g. "nerith-temp"); none when it does not exist.
    std::vector<std::string> FilesOn(const std::string& folderOfDriveC) const;
    // A user environment variable, as the programs started afterwards see it (Wine does not
    // pass the Unix environment's TEMP on).
    bool SetUserEnvironment(const std::string& name, const std::string& value);
    // Starts a Windows program (argv[0] a Windows or Unix path) in a Unix working folder;
    // `moreChannels` adds Wine debug channels for this program (e.g. "trace+msgbox").
    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv,
                                        const std::string& workingDirectory,
                                        std::string* error = nullptr,
                                        const std::string& moreChannels = "");
    // Runs a Windows program (e.g. sc, reg) to its end; false, with `error` set, on failure
    // or time-out.
    bool Run(const std::vector<std::string>& argv, std::chrono::seconds timeout,
             std::string* error);

private:
    WinePrefix(std::string folder, std::string displayName);
    bool Boot(std::string* error);
    // Runs a Wine tool to its end; false, with `error` set, on failure or time-out.
    bool RunTool(const std::vector<std::string>& argv, std::chrono::seconds timeout,
                 std::string* error);
    ProcessOptions Options(const std::vector<std::string>& argv,
                           const std::string& moreChannels = "") const;

    std::string folder_;
    std::string prefix_;
    std::string displayName_;
};

} // namespace nerith::testing
