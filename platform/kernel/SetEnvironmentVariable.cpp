#include "kernel/Win32Error.h"
#include "platform/kernel32.h"

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Every spelling of the name, so that one variable remains whatever case it was set in.
std::vector<std::string> SpellingsOf(const char* name) {
    std::vector<std::string> found;
    const std::size_t length = std::strlen(name);
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals && static_cast<std::size_t>(equals - *entry) == length &&
            ::strncasecmp(*entry, name, length) == 0) {
            found.emplace_back(*entry, length);
        }
    }
    return found;
}

} // namespace

BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
    if (!lpName || !*lpName || std::strchr(lpName, '=')) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const std::string& spelling : SpellingsOf(lpName)) {
        ::unsetenv(spelling.c_str());
    }
    if (lpValue && ::setenv(lpName, lpValue, 1) != 0) {
        platform::kernel::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}
