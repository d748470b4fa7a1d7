#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <cerrno>
#include <ctime>
#include <unistd.h>

void WINAPI Sleep(DWORD dwMilliseconds) {
    const DWORD scaled = platform::kernel::ScaledMilliseconds(dwMilliseconds);
    if (scaled == INFINITE) {
        for (;;) {
            ::pause();
        }
    }
    timespec left{static_cast<time_t>(scaled / 1000), static_cast<long>(scaled % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
