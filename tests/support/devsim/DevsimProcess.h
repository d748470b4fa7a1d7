// Runs nerith-devsim in a private device folder for a test: start, wait until it serves,
// send control commands, dump its flash, stop. The destructor stops it and removes the folder.
#pragma once

#include "ControlClient.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace nerith::test {

class DevsimProcess {
public:
    // Who makes the device folder: the test (a private temporary folder) or the simulator
    // itself, inside such a folder.
    enum class FolderMadeBy { Test, Simulator };

    explicit DevsimProcess(const std::vector<std::string>& arguments = {},
                           FolderMadeBy madeBy = FolderMadeBy::Test);
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;
    ~DevsimProcess();

    // False when the simulator did not come up; Error() says why.
    bool Running() const { return pid_ > 0; }
    const std::string& Error() const { return error_; }
    const std::string& Folder() const { return folder_; }
    int Pid() const { return pid_; }
    // True while the process is stopped by a signal (SIGSTOP, or the freeze-at fault).
    bool Stopped() const;

    // Points this process's device handles (NERITH_DEVICE_DIR) at the simulator.
    void UseAsDeviceFolder() const;
    // One control command; returns the reply ("ok ..." / "error: ...") or "error: ..." when
    // the simulator cannot be reached.
    std::string Control(const std::string& command);
    // Request counts by kind, from the "stats" command.
    std::map<std::string, unsigned> Stats();
    unsigned Count(const std::string& kind) { return Stats()[kind]; }
    // The 65,536 flash bytes; empty when the dump failed.
    std::vector<std::uint8_t> DumpFlash();
    // Stops the simulator, woken first if it froze; returns its exit status (-1 when it had to
    // be killed).
    int Stop();

private:
    bool Launch(const std::vector<std::string>& arguments);
    bool WaitUntilServing();

    std::string root_;
    std::string folder_;
    std::string error_;
    int pid_ = -1;
    devsim::UniqueFd control_;
};

// A folder of its own for a test's files, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace nerith::test
