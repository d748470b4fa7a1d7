// The updater's own resources, embedded into this test exactly as into the updater.
#include "TestFolder.h"
#include "resource.h"

#include "platform/kernel32.h"
#include "platform/winstyles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::uint32_t U32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
           (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t U16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

struct DialogHeader {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint16_t controls = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
};

DialogHeader ReadDialog(UINT id) {
    DialogHeader h;
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCE(id), RT_DIALOG);
    EXPECT_NE(info, nullptr) << id;
    if (!info) {
        return h;
    }
    const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    EXPECT_GE(SizeofResource(nullptr, info), 26u);
    h.extended = U16(p) == 1 && U16(p + 2) == 0xFFFF;
    const BYTE* fields = h.extended ? p + 8 : p;
    h.exStyle = U32(h.extended ? fields : fields + 4);
    h.style = U32(h.extended ? fields + 4 : fields);
    h.controls = U16(fields + 8);
    h.x = static_cast<std::int16_t>(U16(fields + 10));
    h.y = static_cast<std::int16_t>(U16(fields + 12));
    h.cx = static_cast<std::int16_t>(U16(fields + 14));
    h.cy = static_cast<std::int16_t>(U16(fields + 16));
    return h;
}

TEST(UpdaterResources, DialogTemplates) {
    struct Case {
        UINT id;
        bool extended;
        std::uint32_t style;
        std::uint32_t exStyle;
        std::uint16_t controls;
        std::int16_t cx, cy;
    };
    const Case cases[] = {
        {IDD_ABOUTBOX, false, 0x80C800C0u, 0, 4, 235, 55},
        {IDD_UPDATE_DIALOG, true, 0x90800040u, WS_EX_APPWINDOW, 1, 314, 177},
        {IDD_SKIN_POPUP, false, WS_POPUP | WS_BORDER | DS_SETFONT, 0, 0, 187, 94},
    };
    for (const Case& c : cases) {
        const DialogHeader h = ReadDialog(c.id);
        EXPECT_EQ(h.extended, c.extended) << c.id;
        EXPECT_EQ(h.style, c.style) << c.id;
        EXPECT_EQ(h.exStyle, c.exStyle) << c.id;
        EXPECT_EQ(h.controls, c.controls) << c.id;
        EXPECT_EQ(h.x, 0) << c.id;
        EXPECT_EQ(h.y, 0) << c.id;
        EXPECT_EQ(h.cx, c.cx) << c.id;
        EXPECT_EQ(h.cy, c.cy) << c.id;
    }
}

TEST(UpdaterResources, AboutStringAndIcon) {
    char text[64];
    EXPECT_EQ(LoadStringA(nullptr, IDS_ABOUTBOX, text, sizeof text), 16);
    EXPECT_STREQ(text, "&About Update...");

    HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
    const std::uint16_t count = U16(dir + 4);
    ASSERT_EQ(SizeofResource(nullptr, group), 6u + 14u * count);
    // 16, 32 and 48 pixels, each a 32-bit image that exists as an RT_ICON resource.
    for (std::uint16_t i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * std::size_t{i};
        EXPECT_EQ(entry[0], 16 * (i + 1)) << i;
        EXPECT_EQ(U16(entry + 6), 32) << i;
        HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCE(U16(entry + 12)), RT_ICON);
        ASSERT_NE(image, nullptr) << i;
        EXPECT_EQ(SizeofResource(nullptr, image), U32(entry + 8)) << i;
    }
    EXPECT_EQ(count, 3);
}

TEST(UpdaterResources, FirmwareImageIsTheCommittedFile) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCE(IDR_FIRMWARE_S19), "S19");
    ASSERT_NE(info, nullptr) << GetLastError();
    const DWORD size = SizeofResource(nullptr, info);
    EXPECT_EQ(size, 46970u);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(data, size), ReadWholeFile(FIRMWARE_FILE));
}

} // namespace
