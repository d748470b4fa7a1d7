// What the process entry on this platform relies on before it calls the framework's WinMain.
#include "ScriptedDialog.h"
#include "TestSupport.h"

namespace {

class WinMainTest : public usertest::WindowTest {};

// The process entry asks this before it calls WinMain: without a display it is 0.
TEST_F(WinMainTest, TheScreenIsOneMonitor) {
    EXPECT_EQ(::GetSystemMetrics(SM_CMONITORS), 1);
}

} // namespace
