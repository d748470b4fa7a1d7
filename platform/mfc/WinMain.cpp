// The framework's start-up: the program's global CWinApp object was constructed during
// static initialisation; here the application runs.
#include "platform/afx/CWinApp.h"
#include "platform/commctrl.h"
#include "platform/kernel32.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        ::OutputDebugStringA("nerith: the program defines no application object\n");
        return 1;
    }
    // The dialogs' progress bars and the buttons' tooltips are comctl32's classes, which
    // exist only once the program has asked for them.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    if (!::InitCommonControlsEx(&controls)) {
        ::OutputDebugStringA("nerith: the common controls cannot be initialised\n");
        return 1;
    }
    app->m_hInstance = hInstance;
    if (!app->InitInstance()) {
        CWnd* main = app->m_pMainWnd;
        if (main && main->m_hWnd) {
            main->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}
