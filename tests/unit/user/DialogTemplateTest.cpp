// Compiled templates parse into what the resource script says; a damaged one is refused.
#include "user/DialogTemplate.h"
#include "TestSupport.h"
#include "user/Dialog.h"

#include <vector>

using namespace usertest;
using platform::user::DialogTemplate;
using platform::user::ParseDialogTemplate;

namespace {

std::vector<BYTE> TemplateBytes(int id) {
    const HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    return data ? std::vector<BYTE>(data, data + SizeofResource(nullptr, res))
                : std::vector<BYTE>();
}

TEST(DialogTemplateTest, TheMainWindowsExtendedTemplate) {
    const std::vector<BYTE> bytes = TemplateBytes(102);
    ASSERT_FALSE(bytes.empty());
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, 0x90800040u);
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(t.cx, 314);
    EXPECT_EQ(t.cy, 177);
    EXPECT_EQ(t.faceName, "MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 1001u);
    EXPECT_EQ(t.items[0].windowClass.text, "msctls_progress32");
    EXPECT_EQ(t.items[0].title.text, "Progress1");
    EXPECT_EQ(t.items[0].x, 29);
    EXPECT_EQ(t.items[0].cx, 241);
}

TEST(DialogTemplateTest, TheAboutBoxsClassicTemplate) {
    const std::vector<BYTE> bytes = TemplateBytes(100);
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.caption, "About Update");
    ASSERT_EQ(t.items.size(), 4u);
    EXPECT_TRUE(t.items[0].windowClass.isOrdinal);
    EXPECT_EQ(t.items[0].windowClass.ordinal, 0x82) << "the icon is a static";
    EXPECT_TRUE(t.items[0].title.isOrdinal);
    EXPECT_EQ(t.items[0].title.ordinal, 128) << "naming icon 128";
    EXPECT_EQ(t.items[3].id, static_cast<DWORD>(IDOK));
}

TEST(DialogTemplateTest, EveryTruncationIsRefused) {
    for (int id : {100, 102, 160, 300, 301}) {
        const std::vector<BYTE> bytes = TemplateBytes(id);
        ASSERT_FALSE(bytes.empty()) << id;
        DialogTemplate whole;
        ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), whole)) << id;
        std::size_t accepted = 0;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            DialogTemplate t;
            if (ParseDialogTemplate(cut.data(), cut.size(), t)) {
                ++accepted;
                EXPECT_EQ(t.items.size(), whole.items.size()) << id << " cut at " << n;
            }
        }
        // Only the alignment padding after the last item may be missing.
        EXPECT_LE(accepted, 3u) << id;
    }
}

TEST(DialogTemplateTest, ACorruptTemplateFailsCreationWithAnError) {
    const std::vector<BYTE> bytes = TemplateBytes(300);
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{10}, bytes.size() / 2, bytes.size() - 8}) {
        SetLastError(0);
        EXPECT_EQ(platform::user::CreateDialogFromTemplate(nullptr, bytes.data(), size, nullptr,
                                                           nullptr, 0),
                  nullptr)
            << size;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << size;
        EXPECT_EQ(
            platform::user::DialogBoxFromTemplate(nullptr, bytes.data(), size, nullptr, nullptr, 0),
            -1)
            << size;
    }
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(9999), nullptr, nullptr, 0), -1);
}

} // namespace
