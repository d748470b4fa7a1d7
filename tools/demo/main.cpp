// The demo's automated user; scripts/demo-run starts it.
#include "DemoOptions.h"
#include "DemoUser.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    auto options = nerith::demo::ParseDemoOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "nerith-demo-user: %s\n", error.c_str());
        return 2;
    }
    return nerith::demo::DemoUser(std::move(*options)).Run();
}
