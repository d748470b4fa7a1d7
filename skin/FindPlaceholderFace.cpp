#include "PlaceholderFace.h"
#include "SkinLayoutLines.h"

namespace {

struct PlaceholderScreen {
    WORD wBackground;
    WORD wHover;
    WORD wPressed;
    LPCTSTR lpszHeading;
    COLORREF crBackground;
    LPCTSTR lpszOkLine;
    LPCTSTR lpszCancelLine;
};

// Each screen has a colour of its own, so that even without fonts success and failure differ.
const PlaceholderScreen SCREENS[] = {
    {1015, 1018, 1016, "Ready to update", RGB(0x3A, 0x44, 0x52), SKIN_LINE_MAIN_OK,
     SKIN_LINE_MAIN_CANCEL},
    {1026, 1027, 1025, "Install older firmware?", RGB(0x6B, 0x4A, 0x12), SKIN_LINE_PROMPT_OK,
     SKIN_LINE_PROMPT_CANCEL},
    {1005, 1006, 1004, "Update complete", RGB(0x1F, 0x5C, 0x35), SKIN_LINE_NOTICE_OK, nullptr},
    {1008, 1009, 1007, "Update failed", RGB(0x80, 0x22, 0x22), SKIN_LINE_NOTICE_OK, nullptr},
    {1030, 1029, 1028, "Already up to date", RGB(0x1F, 0x48, 0x78), SKIN_LINE_NOTICE_OK, nullptr},
};

const COLORREF PLAIN_BACKGROUND = RGB(0x3A, 0x44, 0x52); // clearly not the skin, never white

} // namespace

PlaceholderFace FindPlaceholderFace(WORD wId) {
    for (const PlaceholderScreen& screen : SCREENS) {
        PlaceholderFace face = {screen.lpszHeading, screen.crBackground, screen.lpszOkLine,
                                screen.lpszCancelLine, PLACEHOLDER_NORMAL};
        if (wId == screen.wHover) {
            face.nState = PLACEHOLDER_HOVER;
        } else if (wId == screen.wPressed) {
            face.nState = PLACEHOLDER_PRESSED;
        } else if (wId != screen.wBackground) {
            continue;
        }
        return face;
    }
    return PlaceholderFace{nullptr, PLAIN_BACKGROUND, nullptr, nullptr, PLACEHOLDER_NORMAL};
}
