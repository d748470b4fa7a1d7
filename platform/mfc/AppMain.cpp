// The process entry on this platform, where the C runtime would call WinMain on Windows. A
// program that has no screen to show on stops here; the platform has said why.
#include "platform/kernel32.h"
#include "platform/user32.h"

#include <malloc.h>

int main() {
    // A second thread would get a malloc arena of its own, whose pages stay touched for what
    // little the process does beside the main thread.
    mallopt(M_ARENA_MAX, 1);
    if (::GetSystemMetrics(SM_CMONITORS) == 0) {
        return 1;
    }
    char commandLine[] = "";
    return WinMain(::GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
