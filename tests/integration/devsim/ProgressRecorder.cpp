// The updater's window is not part of these tests: progress messages are recorded here.
#include "ProgressRecorder.h"

#include "platform/user32.h"

std::vector<WPARAM>& RecordedProgress() {
    static std::vector<WPARAM> progress;
    return progress;
}

LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM wParam, LPARAM) {
    RecordedProgress().push_back(wParam);
    return 0;
}
