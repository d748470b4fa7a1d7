#include "BackendFixture.h"

#include <unistd.h>

namespace nerith::testing {
namespace {

using WindowPropertiesTest = BackendTest;

constexpr RECT kRect{40, 50, 240, 150};

NativeId CreateHidden(platform::display::Backend& backend, WindowKind kind,
                      const std::string& title, bool decorated = false, NativeId owner = 0) {
    NativeWindowDesc desc;
    desc.screenRect = kRect;
    desc.kind = kind;
    desc.title = title;
    desc.decorated = decorated;
    desc.transientFor = owner;
    return backend.Create(desc);
}

TEST_F(WindowPropertiesTest, TitleIsPublishedAsUtf8InBothNameProperties) {
    struct Case {
        std::string given;
        std::string published;
    };
    const Case cases[] = {
        {"Nerith updater", "Nerith updater"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x9C\x93",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x9C\x93"},
        {"Caf\xE9 na\xEFve", "Caf\xC3\xA9 na\xC3\xAFve"}, // ANSI bytes become UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},     // an encoded surrogate is not UTF-8
        {"", ""},
    };
    const NativeId id = CreateHidden(*backend_, WindowKind::Normal, "first");
    ASSERT_NE(id, 0u);
    Settle();
    EXPECT_EQ(session_->TextProperty(id, "_NET_WM_NAME"), "first");
    for (const Case& c : cases) {
        backend_->SetTitle(id, c.given);
        Settle();
        EXPECT_EQ(session_->TextProperty(id, "_NET_WM_NAME"), c.published);
        EXPECT_EQ(session_->TextProperty(id, "WM_NAME"), c.published);
        EXPECT_EQ(session_->PropertyType(id, "_NET_WM_NAME"), "UTF8_STRING");
    }
    EXPECT_EQ(FindWindowByName(*session_, ""), std::optional<XId>(id));
}

TEST_F(WindowPropertiesTest, IconIsPublishedAsCardinalsAndBadIconsKeepTheOldOne) {
    const NativeId id = CreateHidden(*backend_, WindowKind::Normal, "icon");
    const std::vector<std::uint32_t> argb{0xFF102030, 0x80FFFFFF, 0x00000000,
                                          0xFFABCDEF, 0x7F010203, 0xFFFF0000};
    backend_->SetIcon(id, 3, 2, argb);
    Settle();
    const std::vector<unsigned long> expected{3,          2,          0xFF102030, 0x80FFFFFF,
                                              0x00000000, 0xFFABCDEF, 0x7F010203, 0xFFFF0000};
    EXPECT_EQ(session_->Property32(id, "_NET_WM_ICON"), expected);
    EXPECT_EQ(session_->PropertyType(id, "_NET_WM_ICON"), "CARDINAL");

    backend_->SetIcon(id, 4, 2, argb);                                       // too few pixels
    backend_->SetIcon(id, -3, -2, argb);                                     // negative size
    backend_->SetIcon(id, 3, 2, {});                                         // no pixels
    backend_->SetIcon(id, 100000, 1, std::vector<std::uint32_t>(100000, 1)); // absurdly wide
    Settle();
    EXPECT_EQ(session_->Property32(id, "_NET_WM_ICON"), expected);

    backend_->SetIcon(id, 0, 0, {});
    Settle();
    EXPECT_TRUE(session_->Property32(id, "_NET_WM_ICON").empty());
}

TEST_F(WindowPropertiesTest, KindsGetTheirTypeAndOnlyPopupsBypassTheWindowManager) {
    struct Case {
        WindowKind kind;
        std::vector<std::string> types;
        bool overrideRedirect;
    };
    const Case cases[] = {
        {WindowKind::Normal, {"_NET_WM_WINDOW_TYPE_NORMAL"}, false},
        {WindowKind::Dialog, {"_NET_WM_WINDOW_TYPE_DIALOG"}, false},
        {WindowKind::Tooltip, {"_NET_WM_WINDOW_TYPE_TOOLTIP"}, true},
        {WindowKind::Menu,
         {"_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"},
         true},
    };
    for (const Case& c : cases) {
        const NativeId id = CreateHidden(*backend_, c.kind, "kind");
        ASSERT_NE(id, 0u);
        Settle();
        EXPECT_EQ(session_->AtomProperty(id, "_NET_WM_WINDOW_TYPE"), c.types);
        EXPECT_EQ(session_->IsOverrideRedirect(id), c.overrideRedirect);
    }
}

TEST_F(WindowPropertiesTest, OwnedPopupsNameTheirOwner) {
    const NativeId owner = CreateHidden(*backend_, WindowKind::Normal, "owner");
    const NativeId dialog = CreateHidden(*backend_, WindowKind::Dialog, "dialog", false, owner);
    const NativeId unowned = CreateHidden(*backend_, WindowKind::Normal, "alone");
    Settle();
    EXPECT_EQ(session_->TransientFor(dialog), std::optional<XId>(owner));
    EXPECT_EQ(session_->TransientFor(unowned), std::nullopt);
}

TEST_F(WindowPropertiesTest, CaptionlessWindowsAskForNoDecorations) {
    const NativeId bare = CreateHidden(*backend_, WindowKind::Normal, "bare", false);
    const NativeId framed = CreateHidden(*backend_, WindowKind::Normal, "framed", true);
    Settle();
    const std::vector<unsigned long> noDecorations{2, 0, 0, 0, 0};
    EXPECT_EQ(session_->Property32(bare, "_MOTIF_WM_HINTS"), noDecorations);
    EXPECT_TRUE(session_->Property32(framed, "_MOTIF_WM_HINTS").empty());
}

TEST_F(WindowPropertiesTest, WindowsIdentifyTheirProcessAndAcceptCloseRequests) {
    const NativeId id = CreateHidden(*backend_, WindowKind::Normal, "identity");
    Settle();
    EXPECT_EQ(session_->Property32(id, "_NET_WM_PID"),
              std::vector<unsigned long>{static_cast<unsigned long>(getpid())});
    EXPECT_EQ(FindWindowsByPid(*session_, getpid()), std::vector<XId>{id});
    EXPECT_EQ(session_->AtomProperty(id, "WM_PROTOCOLS"),
              std::vector<std::string>{"WM_DELETE_WINDOW"});
    const auto wmClass = session_->TextProperty(id, "WM_CLASS");
    ASSERT_TRUE(wmClass);
    EXPECT_EQ(wmClass->substr(wmClass->find('\0') + 1), std::string("Nerith\0", 7));
    const auto hints = session_->Property32(id, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), 5u);
    constexpr unsigned long kUserAndProgramPosition = 1 | 4;
    EXPECT_EQ(hints[0] & kUserAndProgramPosition, kUserAndProgramPosition);
}

TEST_F(WindowPropertiesTest, CallsWithUnknownWindowsAreHarmless) {
    const NativeId unknown = 0x1234567;
    backend_->SetTitle(unknown, "x");
    backend_->Move(unknown, kRect);
    backend_->Show(unknown, true);
    backend_->SetShape(unknown, {{0, 0, 1, 1}}, true);
    backend_->Destroy(unknown);
    EXPECT_FALSE(backend_->BeginMoveDrag(unknown, POINT{0, 0}, 1));
    // The connection still works afterwards.
    const NativeId id = CreateHidden(*backend_, WindowKind::Normal, "after");
    Settle();
    EXPECT_TRUE(session_->TextProperty(id, "_NET_WM_NAME"));
}

TEST_F(WindowPropertiesTest, DestroyRemovesTheWindowFromTheServer) {
    const NativeId id = ShowWindow(kRect, WindowKind::Normal, "doomed");
    backend_->Destroy(id);
    EXPECT_TRUE(WaitFor([&] { return !session_->Geometry(id); }, kShortWait));
    EXPECT_EQ(FindWindowByName(*session_, "doomed"), std::nullopt);
}

} // namespace
} // namespace nerith::testing
