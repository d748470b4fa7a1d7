// Windows user interface: windows, messages, dialogs, controls, menus, painting and input.
#pragma once

#include "platform/wintypes.h"

#define WM_NULL 0x0000u
#define WM_USER 0x0400u

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageA
#define PostMessage PostMessageA
