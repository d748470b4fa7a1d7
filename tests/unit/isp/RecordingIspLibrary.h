// Link-seam stand-ins for the unit tests of the programming session: the six ISP library
// functions and SendMessageA record every call, and the library's answers can be scripted.
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <string>
#include <vector>

namespace nerith::test {

struct IspCall {
    std::string name;
    std::vector<DWORD> args; // pointer arguments are left out
    bool operator==(const IspCall&) const = default;
};

struct SentMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct IspScript {
    // Result of the n-th IspOpen (0-based); 0 = success.
    std::function<int(int)> open = [](int) { return 0; };
    // Result of the n-th block call of each kind (0-based).
    std::function<int(int)> verifyBlock = [](int) { return 0; };
    std::function<int(int)> programBlock = [](int) { return 0; };
    int eraseRange = 0;
    int massErase = 0;
};

struct IspRecorder {
    IspScript script;
    std::vector<IspCall> calls;
    std::vector<SentMessage> messages;
    int opens = 0;
    int verifyBlocks = 0;
    int programBlocks = 0;
    bool imageAndMapPassed = true; // every block call got non-null image and page map

    std::vector<IspCall> CallsNamed(const std::string& name) const;
    std::vector<std::string> Names() const;
    std::vector<WPARAM> Progress() const;
};

// Fresh recorder for each test.
IspRecorder& Recorder();
void ResetRecorder();

} // namespace nerith::test
