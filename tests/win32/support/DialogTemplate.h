// A dialog template built in memory, laid out as the resource compiler lays out a classic
// DIALOG resource, so the dialog tests need no resource file on either side.
#pragma once

#include "platform/user32.h"

#include <vector>

namespace win32test {

// Predefined control classes, as a template names them by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

class DialogTemplate {
public:
    // With a face name the template carries DS_SETFONT and that font.
    DialogTemplate(DWORD style, short cx, short cy, const char* faceName = nullptr,
                   WORD pointSize = 8);
    DialogTemplate& AddItem(DWORD style, WORD id, WORD classAtom, const char* text, short x,
                            short y, short cx, short cy);
    DialogTemplate& AddItem(DWORD style, WORD id, const char* className, const char* text, short x,
                            short y, short cx, short cy);
    LPCDLGTEMPLATEA Get() const;

private:
    void AddItemHeader(DWORD style, WORD id, short x, short y, short cx, short cy);
    void AddItemTail(const char* text);
    void AddText(const char* text);
    void AddDword(DWORD value);
    void AlignToDword();

    std::vector<WORD> words_;
};

} // namespace win32test
