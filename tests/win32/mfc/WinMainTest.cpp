// The framework's WinMain: the application object's InitInstance, its message loop and the
// program's exit code.
#include "Win32Test.h"

#include "platform/mfc.h"

using namespace win32test;

namespace {

class ScriptedApp : public CWinApp {
public:
    BOOL keepRunning = FALSE;
    int exitCode = 0;
    HINSTANCE instanceSeen = nullptr;
    bool ran = false;
    CWnd* mainWindow = nullptr;

    BOOL InitInstance() override {
        instanceSeen = m_hInstance;
        m_pMainWnd = mainWindow;
        if (keepRunning) {
            ::PostQuitMessage(0);
        }
        return keepRunning;
    }
    int Run() override {
        ran = true;
        return CWinApp::Run();
    }
    int ExitInstance() override { return exitCode; }
};

class WinMainTest : public WindowTest {
protected:
    int CallWinMain() {
        char commandLine[] = "";
        return WinMain(instance_, nullptr, commandLine, SW_SHOWDEFAULT);
    }
    const HINSTANCE instance_ = ::GetModuleHandleA(nullptr);
};

TEST_F(WinMainTest, TheApplicationDecidesWhetherItsLoopRunsAndWhatTheExitCodeIs) {
    const struct {
        const char* name;
        BOOL keepRunning;
        int exitCode;
        bool runs;
    } cases[] = {
        {"InitInstance FALSE", FALSE, 3, false},
        {"InitInstance TRUE, then quit", TRUE, 5, true},
    };
    for (const auto& c : cases) {
        ScriptedApp app;
        app.keepRunning = c.keepRunning;
        app.exitCode = c.exitCode;
        EXPECT_EQ(CallWinMain(), c.exitCode) << c.name;
        EXPECT_EQ(app.ran, c.runs) << c.name;
        EXPECT_EQ(app.instanceSeen, instance_) << c.name;
    }
}

TEST_F(WinMainTest, AMainWindowLeftByAFailedStartIsDestroyed) {
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, LogClass(), "main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    const HWND hwnd = main.m_hWnd;
    ScriptedApp app;
    app.mainWindow = &main;
    EXPECT_EQ(CallWinMain(), 0);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(WinMainTest, WithoutAnApplicationObjectItFails) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(CallWinMain(), 1);
}

} // namespace
