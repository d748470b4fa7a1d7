// Skin layout lines, parsed as the screens parse them.
#include "SkinLayoutLine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct LineCase {
    const char* line;
    const char* name;
    RECT bounds;
    const char* caption;
    BOOL pressed;
};

const LineCase kCases[] = {
    {"BUTTON_OK,187,231,30,17,OK,FALSE", "BUTTON_OK", {187, 231, 217, 248}, "OK", FALSE},
    {"BUTTON_CANCEL,257,231,44,17,Cancel,FALSE",
     "BUTTON_CANCEL",
     {257, 231, 301, 248},
     "Cancel",
     FALSE},
    {"BUTTON_OK,216,228,18,15,OK,FALSE", "BUTTON_OK", {216, 228, 234, 243}, "OK", FALSE},
    {"BUTTON_CANCEL,259,228,45,15,Cancel,FALSE",
     "BUTTON_CANCEL",
     {259, 228, 304, 243},
     "Cancel",
     FALSE},
    {"BUTTON_OK,224,229,25,15,OK,FALSE", "BUTTON_OK", {224, 229, 249, 244}, "OK", FALSE},
    {"BUTTON_CANCEL,257,231,44,17,Cancel,TRUE",
     "BUTTON_CANCEL",
     {257, 231, 301, 248},
     "Cancel",
     TRUE},
    {"BUTTON_CANCEL,257,231,44,17,Cancel,true",
     "BUTTON_CANCEL",
     {257, 231, 301, 248},
     "Cancel",
     FALSE},
    // The flag search covers everything after the name.
    {"B,1,2,3,4,TRUE story,FALSE", "B", {1, 2, 4, 6}, "TRUE story", TRUE},
    {"TRUE,1,2,3,4,x,FALSE", "TRUE", {1, 2, 4, 6}, "x", FALSE},
    // Six fields: the caption counts as the flag and is dropped; the height becomes the caption.
    {"BUTTON_OK,187,231,30,17,OK", "BUTTON_OK", {187, 231, 217, 248}, "17", FALSE},
    // No comma: no name, no caption, numbers read from the start.
    {"12", "", {12, 0, 12, 0}, "", FALSE},
    {"", "", {0, 0, 0, 0}, "", FALSE},
    {"NAME_ONLY,", "NAME_ONLY", {0, 0, 0, 0}, "", FALSE},
    // An empty or non-numeric field stops the scan: it and every later coordinate stay 0.
    {"B,,231,30,17,OK,FALSE", "B", {0, 0, 0, 0}, "OK", FALSE},
    {"B,187,x,30,17,OK,FALSE", "B", {187, 0, 187, 0}, "OK", FALSE},
    {"B,187,231,30,,OK,FALSE", "B", {187, 231, 217, 231}, "OK", FALSE},
    {"B, 5,-6,+7,8,OK,FALSE", "B", {5, -6, 12, 2}, "OK", FALSE},
    // Numbers beyond 32 bits wrap instead of being undefined.
    {"B,4294967297,0,1,0,OK,FALSE", "B", {1, 0, 2, 0}, "OK", FALSE},
    {"B,2147483647,0,1,0,OK,FALSE",
     "B",
     {2147483647, 0, static_cast<LONG>(0x80000000u), 0},
     "OK",
     FALSE},
    // UTF-8: commas and TRUE are found as whole characters only.
    {"KNOPF_\xC3\x9C,10,20,30,40,\xC3\x9C"
     "bernehmen,FALSE",
     "KNOPF_\xC3\x9C",
     {10, 20, 40, 60},
     "\xC3\x9C"
     "bernehmen",
     FALSE},
    {"B,1,1,1,1,\xE2\x9C\x93 TRUE,FALSE", "B", {1, 1, 2, 2}, "\xE2\x9C\x93 TRUE", TRUE},
};

TEST(ParseSkinLayoutLine, LinesAsATable) {
    for (const LineCase& c : kCases) {
        SkinLayoutLine line;
        std::memset(&line, 0x5A, sizeof(line)); // the parser must clear what it does not fill
        EXPECT_EQ(ParseSkinLayoutLine(CString(c.line), &line), 1) << c.line;
        EXPECT_STREQ(line.szName, c.name) << c.line;
        EXPECT_EQ(line.rcBounds.left, c.bounds.left) << c.line;
        EXPECT_EQ(line.rcBounds.top, c.bounds.top) << c.line;
        EXPECT_EQ(line.rcBounds.right, c.bounds.right) << c.line;
        EXPECT_EQ(line.rcBounds.bottom, c.bounds.bottom) << c.line;
        EXPECT_STREQ(line.szCaption, c.caption) << c.line;
        EXPECT_EQ(line.bPressed, c.pressed) << c.line;
    }
}

TEST(ParseSkinLayoutLine, OverlongFieldsAreCutAtTheirSize) {
    const std::string name(60, 'N');
    const std::string caption(150, 'c');
    SkinLayoutLine line;
    ParseSkinLayoutLine(CString((name + ",1,2,3,4," + caption + ",FALSE").c_str()), &line);
    EXPECT_EQ(std::string(line.szName), name.substr(0, 39));
    EXPECT_EQ(std::string(line.szCaption), caption.substr(0, 99));
    EXPECT_EQ(line.rcBounds.right, 4);
}

TEST(ParseSkinLayoutLine, CutsNeverSplitAMultiByteCharacter) {
    // 38 ASCII bytes then a two-byte character: byte 39 would be half of it.
    const std::string name = std::string(38, 'a') + "\xC3\xA9" + "z";
    // 98 ASCII bytes then a three-byte character.
    const std::string caption = std::string(98, 'b') + "\xE2\x9C\x93";
    SkinLayoutLine line;
    ParseSkinLayoutLine(CString((name + ",1,2,3,4," + caption + ",FALSE").c_str()), &line);
    EXPECT_EQ(std::string(line.szName), std::string(38, 'a'));
    EXPECT_EQ(std::string(line.szCaption), std::string(98, 'b'));
}

TEST(ParseSkinLayoutLine, NullRecordIsIgnored) {
    EXPECT_EQ(ParseSkinLayoutLine(CString("A,1,2,3,4,B,TRUE"), nullptr), 1);
}

} // namespace
