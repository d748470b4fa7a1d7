#include "kernel/Module.h"

#include "kernel/PeResources.h"
#include "kernel/ResFile.h"
#include "kernel/Win32Error.h"
#include "platform/internal/UniqueFd.h"
#include "platform/internal/handle_table.h"
#include "platform/kernel32.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <mutex>
#include <new>

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

bool ReadWholeFile(int fd, std::vector<std::uint8_t>& bytes, off_t size) {
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
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

// Opens the file for reading as a library: a missing or unreadable one is ERROR_MOD_NOT_FOUND.
std::shared_ptr<Module> ReadLibrary(const std::string& path, const struct stat& st, int fd) {
    if (st.st_size > kMaxLibraryBytes) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(fd, bytes, st.st_size)) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    auto module = std::make_shared<Module>(path, std::move(bytes), st.st_dev, st.st_ino);
    const DWORD error =
        ParsePeResources(module->Bytes().data(), module->Bytes().size(), module->Resources());
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

Module::Module(std::string path, std::vector<std::uint8_t> bytes, dev_t device, ino_t inode)
    : path_(std::move(path)), bytes_(std::move(bytes)), device_(device), inode_(inode) {}

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
        module = ReadLibrary(AbsolutePath(path), st, fd.Get());
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

} // namespace platform::kernel
