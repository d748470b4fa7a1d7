#include "X11WindowTest.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new usere2e::XvfbEnvironment);
    return RUN_ALL_TESTS();
}
