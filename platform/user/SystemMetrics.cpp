#include "NonClient.h"
#include "display/display.h"
#include "platform/kernel32.h"
#include "platform/user32.h"

namespace {

RECT WorkArea() {
    platform::display::Backend* backend = platform::display::CurrentBackend();
    return backend ? backend->WorkArea() : RECT{0, 0, 1280, 1024};
}

// The whole screen, task bars and panels included, as the desktop window covers it.
RECT ScreenArea() {
    platform::display::Backend* backend = platform::display::CurrentBackend();
    return backend ? backend->ScreenRect() : RECT{0, 0, 1280, 1024};
}

} // namespace

int WINAPI GetSystemMetrics(int nIndex) {
    using namespace platform::user;
    switch (nIndex) {
    case SM_CXSCREEN:
        return ScreenArea().right;
    case SM_CYSCREEN:
        return ScreenArea().bottom;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return kBorder;
    case SM_CYCAPTION:
        return kCaptionHeight;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return kDialogFrame;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CMONITORS: // none when the display cannot be opened
        return platform::display::CurrentBackend() ? 1 : 0;
    case SM_CXSIZE:
        return kCaptionButtonWidth;
    case SM_CYSIZE:
        return kCaptionButtonHeight;
    default:
        return 0;
    }
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction != SPI_GETWORKAREA || !pvParam) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *static_cast<RECT*>(pvParam) = WorkArea();
    return TRUE;
}
