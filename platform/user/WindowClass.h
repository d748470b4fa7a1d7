// Window classes: the built-in ones the dialogs and controls need, and those a program
// registers. Names compare without regard to case, as Windows does.
#pragma once

#include "platform/user32.h"

#include <memory>
#include <string>

namespace platform::user {

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HBRUSH background = nullptr; // a brush, or COLOR_x + 1
    HICON icon = nullptr;
    HINSTANCE instance = nullptr;
    bool system = false; // built in; cannot be unregistered
};

inline constexpr const char* kDialogClass = "#32770";
inline constexpr const char* kMenuClass = "#32768";

std::shared_ptr<const WindowClass> FindClass(LPCSTR name);

// Window procedures of the built-in classes.
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TooltipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MenuProc(HWND, UINT, WPARAM, LPARAM);

} // namespace platform::user
