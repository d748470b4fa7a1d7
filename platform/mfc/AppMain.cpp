// The framework's start-up: the program's global CWinApp object was constructed during
// static initialisation; here the display is opened and the application runs.
#include "display/display.h"
#include "platform/afx/CWinApp.h"

#include <cstdio>

int main() {
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "nerith: the program defines no application object\n");
        return 1;
    }
    if (!platform::display::CurrentBackend()) {
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
