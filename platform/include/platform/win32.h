// The Win32 surface the updater is written against: kernel, GDI, user interface and OLE.
#pragma once

#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"
#include "platform/user32.h"
#include "platform/wintypes.h"
