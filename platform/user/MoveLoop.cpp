#include "Geometry.h"
#include "Input.h"
#include "ThreadState.h"
#include "Window.h"
#include "WindowActions.h"

namespace platform::user {

namespace {

constexpr int kPollMs = 50;

struct MoveState {
    WindowPtr window;
    RECT start{};
    POINT anchor{};
};

void Follow(const MoveState& move, POINT pointer) {
    RECT rect = move.start;
    OffsetRect(&rect, pointer.x - move.anchor.x, pointer.y - move.anchor.y);
    PlaceWindow(move.window, rect, true);
}

// Handles one input message of the move; false when the move is over.
bool Step(const MoveState& move, const MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        Follow(move, msg.pt);
        return true;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        Follow(move, msg.pt);
        return false;
    case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
            PlaceWindow(move.window, move.start, true);
            return false;
        }
        return true;
    default:
        return true;
    }
}

} // namespace

void TrackMove(HWND hwnd) {
    const WindowPtr window = TopLevelOf(FindWindowObject(hwnd));
    ThreadState& state = CurrentThread();
    // The press that started the move may already have been released.
    if (!window || !(state.keys[VK_LBUTTON] & 0x80)) {
        return;
    }
    const POINT anchor = state.messagePos;
    if (platform::display::CurrentBackend()->BeginMoveDrag(window->native, anchor, 1)) {
        return;
    }
    const MoveState move{window, window->rect, anchor};
    SetCapture(window->hwnd);
    MSG msg{};
    for (;;) {
        if (!TakeInputMessage(msg, kPollMs)) {
            if (!MouseButtonDown(1) || !IsWindow(window->hwnd)) {
                break;
            }
            continue;
        }
        if (!IsWindow(window->hwnd) || !Step(move, msg)) {
            break;
        }
    }
    if (GetCapture() == window->hwnd) {
        ReleaseCapture();
    }
}

} // namespace platform::user
