#include "platform/kernel32.h"

namespace {

// Each thread sees only the errors of its own calls, as on Windows.
thread_local DWORD t_lastError = ERROR_SUCCESS;

} // namespace

DWORD WINAPI GetLastError() {
    return t_lastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}
