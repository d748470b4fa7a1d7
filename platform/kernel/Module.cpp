#include "kernel/Module.h"

#include "kernel/PeResources.h"
#include "kernel/ResFile.h"
#include "kernel/Win32Error.h"
#include "platform/internal/UniqueFd.h"
#include "platform/internal/handle_table.h"
#include "platform/internal/resource_bytes.h"
#include "platform/kernel32.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <mutex>
#include <new>
#include <vector>

namespace platform::kernel {

namespace {

// Larger files are not resource libraries this program could use.
constexpr off_t kMaxLibraryBytes = 256 << 20;

struct Registry {
    std::mutex mutex;
    std::shared_ptr<Module> executable = std::make_shared<Module>();
    HandleTable<Module> libraries;
    std::vector<std::uintptr_t> loaded;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The library's headers and resource tree are read from this much of its start, and from twice
// as much again while they lie further in; the resources' own bytes wait for LoadResource.
constexpr std::size_t kFirstRead = 64 << 10;

bool ReadAt(int fd, std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(fd, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

DWORD ReadResourceTree(int fd, std::uint64_t fileSize, ResourceTable& table) {
    for (std::uint64_t wanted = kFirstRead;; wanted *= 2) {
        const auto length = static_cast<std::size_t>(std::min(wanted, fileSize));
        std::vector<std::uint8_t> head(length);
        if (!ReadAt(fd, 0, head.data(), length)) {
            return ERROR_BAD_FORMAT;
        }
        ResourceTable parsed;
        const DWORD error = ParsePeResources(head.data(), length, fileSize, parsed);
        if (error == ERROR_SUCCESS) {
            table.Merge(std::move(parsed));
            return ERROR_SUCCESS;
        }
        if (length == fileSize) {
            return error;
        }
    }
}

// Opens the file for reading as a library: a missing or unreadable one is ERROR_MOD_NOT_FOUND.
std::shared_ptr<Module> ReadLibrary(const std::string& path, const struct stat& st, UniqueFd fd) {
    if (st.st_size > kMaxLibraryBytes) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const int raw = fd.Get();
    auto module = std::make_shared<Module>(path, std::move(fd), st.st_dev, st.st_ino);
    const DWORD error = ReadResourceTree(raw, size, module->Resources());
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return nullptr;
    }
    return module;
}

std::string AbsolutePath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

Module::Module(std::string path, UniqueFd file, dev_t device, ino_t inode)
    : path_(std::move(path)), file_(std::move(file)), device_(device), inode_(inode) {}

const std::uint8_t* Module::Data(const ResourceEntry& entry) const {
    if (entry.data) {
        return entry.data;
    }
    std::lock_guard lock(loadedMutex_);
    if (const auto found = loaded_.find(&entry); found != loaded_.end()) {
        return found->second.get();
    }
    try {
        auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(std::max<DWORD>(entry.size, 1));
        if (!file_.Valid() || !ReadAt(file_.Get(), entry.fileOffset, bytes.get(), entry.size)) {
            SetLastError(ERROR_READ_FAULT);
            return nullptr;
        }
        return loaded_.emplace(&entry, std::move(bytes)).first->second.get();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HMODULE ExecutableHandle() {
    return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x400000));
}

std::shared_ptr<const Module> FindModule(HMODULE handle) {
    Registry& r = TheRegistry();
    if (!handle || handle == ExecutableHandle()) {
        std::lock_guard lock(r.mutex);
        return r.executable;
    }
    auto module = r.libraries.Get(reinterpret_cast<std::uintptr_t>(handle));
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
}

DWORD AddExecutableResources(const std::uint8_t* data, std::size_t size) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return ParseResFile(data, size, r.executable->Resources());
}

HMODULE LoadModule(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    for (std::uintptr_t value : r.loaded) {
        auto module = r.libraries.Get(value);
        if (module && module->IsFile(st.st_dev, st.st_ino)) {
            ++module->references;
            return reinterpret_cast<HMODULE>(value);
        }
    }
    std::shared_ptr<Module> module;
    try {
        module = ReadLibrary(AbsolutePath(path), st, std::move(fd));
        if (!module) {
            return nullptr;
        }
        r.loaded.reserve(r.loaded.size() + 1);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const std::uintptr_t value = r.libraries.Insert(std::move(module));
    if (value == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    r.loaded.push_back(value);
    return reinterpret_cast<HMODULE>(value);
}

bool FreeModule(HMODULE handle) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    auto module = r.libraries.Get(value);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return false;
    }
    if (--module->references == 0) {
        r.libraries.Remove(value);
        std::erase(r.loaded, value);
    }
    return true;
}

HMODULE FindModuleByName(const std::string& name) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const std::string wanted = UpperCaseAscii(BaseName(name));
    for (std::uintptr_t value : r.loaded) {
        auto module = r.libraries.Get(value);
        if (module && UpperCaseAscii(BaseName(module->Path())) == wanted) {
            return reinterpret_cast<HMODULE>(value);
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

std::size_t ResourceBytesFrom(const void* address) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (const std::size_t bytes = r.executable->Resources().BytesFrom(address)) {
        return bytes;
    }
    for (std::uintptr_t value : r.loaded) {
        const auto module = r.libraries.Get(value);
        const std::size_t bytes = module ? module->Resources().BytesFrom(address) : 0;
        if (bytes) {
            return bytes;
        }
    }
    return 0;
}

} // namespace platform::kernel
