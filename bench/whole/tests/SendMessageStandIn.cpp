// The session's progress messages go nowhere in these tests: no window receives them.
#include "platform/win32.h"

LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
