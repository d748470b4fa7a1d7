// Modules behind HMODULE values: the executable itself, whose resources are the .res files
// embedded at build time, and resource-only PE libraries loaded as data by LoadLibraryA. A
// library keeps its file open and reads a resource's bytes when it is first loaded, so only
// the resources a program uses take memory.
#pragma once

#include "kernel/ResourceTable.h"
#include "platform/internal/UniqueFd.h"

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform::kernel {

class Module {
public:
    Module(std::string path, UniqueFd file, dev_t device, ino_t inode);
    Module() = default;

    const std::string& Path() const { return path_; }
    ResourceTable& Resources() { return resources_; }
    const ResourceTable& Resources() const { return resources_; }
    bool IsFile(dev_t device, ino_t inode) const { return device_ == device && inode_ == inode; }
    // The bytes of one of this module's entries, valid while the module lives; nullptr with
    // ERROR_READ_FAULT when its file no longer holds them.
    const std::uint8_t* Data(const ResourceEntry& entry) const;

    int references = 1;

private:
    std::string path_;
    UniqueFd file_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    ResourceTable resources_;
    mutable std::mutex loadedMutex_;
    mutable std::map<const ResourceEntry*, std::unique_ptr<std::uint8_t[]>> loaded_;
};

// The executable's HMODULE, the value GetModuleHandleA(NULL) returns: the image base Windows
// gives executables. No loaded library ever gets this value.
HMODULE ExecutableHandle();

// The module for `handle` (NULL means the executable), or nullptr with ERROR_MOD_NOT_FOUND.
// The module stays valid while the shared pointer is held, even across FreeLibrary.
std::shared_ptr<const Module> FindModule(HMODULE handle);

// Registers the executable's embedded resources; returns ERROR_SUCCESS or ERROR_BAD_FORMAT.
DWORD AddExecutableResources(const std::uint8_t* data, std::size_t size);

// Loads the library at `path` or counts one more reference to it.
HMODULE LoadModule(const std::string& path);
bool FreeModule(HMODULE handle);
HMODULE FindModuleByName(const std::string& name);

} // namespace platform::kernel
