#include "DialogTemplate.h"

namespace win32test {

namespace {

// The count of items lives in the ninth byte of the header.
constexpr std::size_t kItemCountWord = 4;

} // namespace

DialogTemplate::DialogTemplate(DWORD style, short cx, short cy, const char* faceName,
                               WORD pointSize) {
    AddDword(faceName ? style | DS_SETFONT : style & ~static_cast<DWORD>(DS_SETFONT));
    AddDword(0);
    words_.push_back(0);
    for (const short v : {short{0}, short{0}, cx, cy}) {
        words_.push_back(static_cast<WORD>(v));
    }
    words_.push_back(0); // no menu
    words_.push_back(0); // the dialog class
    AddText("");
    if (faceName) {
        words_.push_back(pointSize);
        AddText(faceName);
    }
}

DialogTemplate& DialogTemplate::AddItem(DWORD style, WORD id, WORD classAtom, const char* text,
                                        short x, short y, short cx, short cy) {
    AddItemHeader(style, id, x, y, cx, cy);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    AddItemTail(text);
    return *this;
}

DialogTemplate& DialogTemplate::AddItem(DWORD style, WORD id, const char* className,
                                        const char* text, short x, short y, short cx, short cy) {
    AddItemHeader(style, id, x, y, cx, cy);
    AddText(className);
    AddItemTail(text);
    return *this;
}

LPCDLGTEMPLATEA DialogTemplate::Get() const {
    return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data());
}

void DialogTemplate::AddItemHeader(DWORD style, WORD id, short x, short y, short cx, short cy) {
    AlignToDword();
    ++words_[kItemCountWord];
    AddDword(style | WS_CHILD | WS_VISIBLE);
    AddDword(0);
    for (const short v : {x, y, cx, cy}) {
        words_.push_back(static_cast<WORD>(v));
    }
    words_.push_back(id);
}

void DialogTemplate::AddItemTail(const char* text) {
    AddText(text);
    words_.push_back(0); // no creation data
}

// Template strings are UTF-16; the tests use ASCII only.
void DialogTemplate::AddText(const char* text) {
    for (const char* c = text; *c; ++c) {
        words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*c)));
    }
    words_.push_back(0);
}

void DialogTemplate::AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
}

void DialogTemplate::AlignToDword() {
    if (words_.size() % 2 != 0) {
        words_.push_back(0);
    }
}

} // namespace win32test
