#include "kernel/Module.h"
#include "kernel/WindowsPath.h"
#include "platform/kernel32.h"

#include <unistd.h>

#include <cstring>
#include <string>

// Libraries are read as data: their resources are reachable, nothing in them ever runs.
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    const auto path = platform::kernel::ToPosixPath(lpLibFileName);
    if (!path) {
        if (GetLastError() == ERROR_PATH_NOT_FOUND) {
            SetLastError(ERROR_MOD_NOT_FOUND);
        }
        return nullptr;
    }
    return platform::kernel::LoadModule(*path);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    return platform::kernel::FreeModule(hLibModule) ? TRUE : FALSE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) {
        return platform::kernel::ExecutableHandle();
    }
    return platform::kernel::FindModuleByName(lpModuleName);
}

namespace {

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

// As Windows does from Vista on: a name that does not fit is cut to nSize - 1 characters and
// terminated, the result is nSize and the error ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    auto module = platform::kernel::FindModule(hModule);
    if (!module) {
        return 0;
    }
    const std::string path = module->Path().empty() ? ExecutablePath() : module->Path();
    if (path.empty()) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}
