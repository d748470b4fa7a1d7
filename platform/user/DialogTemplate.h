// Compiled dialog templates, classic (DLGTEMPLATE) and extended (DLGTEMPLATEEX), parsed with
// every read checked against the template's size.
#pragma once

#include "platform/user32.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform::user {

// A name field: absent, a 16-bit ordinal, or text (UTF-16 in the template, UTF-8 here).
struct NameOrOrdinal {
    bool present = false;
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string text;
};

struct DialogItem {
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string caption;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string faceName;
    std::vector<DialogItem> items;
};

// False, with the thread's last error set to ERROR_INVALID_DATA, when the bytes are not a
// complete, well-formed template.
bool ParseDialogTemplate(const void* data, std::size_t size, DialogTemplate& out);
// The class name of a predefined control ordinal (0x80 "Button", 0x82 "Static", ...).
const char* PredefinedClassName(WORD ordinal);

} // namespace platform::user
