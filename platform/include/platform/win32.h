// The Win32 surface the updater is written against: kernel, GDI, user interface and OLE.
#pragma once

#include "platform/kernel32.h"
#include "platform/wintypes.h"
#if __has_include("platform/gdi32.h")
#include "platform/gdi32.h"
#endif
#if __has_include("platform/user32.h")
#include "platform/user32.h"
#endif
#if __has_include("platform/ole2.h")
#include "platform/ole2.h"
#endif
