// The framework's start-up: the program's global CWinApp object was constructed during
// static initialisation; here the display is opened and the application runs.
#include "display/display.h"
#include "platform/afx/CWinApp.h"
#include "platform/gdi32.h"

#include <cstdio>
#include <system_error>
#include <thread>

namespace {

// The font system reads its whole configuration before it can name a font, for milliseconds of
// work that the first dialog waits for; it does that on a thread of its own while the display
// connection, which mostly waits for the server, is made.
bool OpenDisplay() {
    std::jthread fonts;
    try {
        fonts = std::jthread([] { GetStockObject(DEFAULT_GUI_FONT); });
    } catch (const std::system_error&) {
        // No thread to spare: the first font reads the configuration itself.
    }
    return platform::display::CurrentBackend() != nullptr;
}

} // namespace

int main() {
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "nerith: the program defines no application object\n");
        return 1;
    }
    if (!OpenDisplay()) {
        return 1; // CreateBackend has said why
    }
    app->m_hInstance = AfxGetInstanceHandle();
    if (!app->InitInstance()) {
        CWnd* main = app->m_pMainWnd;
        if (main && main->m_hWnd) {
            main->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}
