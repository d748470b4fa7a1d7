// The process entry on this platform, where the C runtime would call WinMain on Windows. A
// program that has no screen to show on stops here; the platform has said why.
#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/user32.h"

#include <malloc.h>

#include <system_error>
#include <thread>

namespace {

// The font system reads its whole configuration before it can name a font, for milliseconds of
// work that the first dialog waits for; it does that on a thread of its own while the display
// connection, which mostly waits for the server, is made.
bool HasScreen() {
    std::jthread fonts;
    try {
        fonts = std::jthread([] { GetStockObject(DEFAULT_GUI_FONT); });
    } catch (const std::system_error&) {
        // No thread to spare: the first font reads the configuration itself.
    }
    return ::GetSystemMetrics(SM_CMONITORS) != 0;
}

} // namespace

int main() {
    // A second thread would get a malloc arena of its own, whose pages stay touched for what
    // little the process does beside the main thread.
    mallopt(M_ARENA_MAX, 1);
    if (!HasScreen()) {
        return 1;
    }
    char commandLine[] = "";
    return WinMain(::GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
