// The 3-D look: a dialog trades its controls' WS_BORDER for a sunken client edge, the progress
// bar wears a thin edge instead, and each edge takes its place in the client rectangle and in
// the window's pixels.
#include "TestSupport.h"
#include "platform/commctrl.h"

#include <algorithm>

using namespace usertest;

namespace {

constexpr int kEdgeDialog = 303;

LPCDLGTEMPLATEA TemplateResource(int id) {
    const HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
    return static_cast<LPCDLGTEMPLATEA>(loaded ? LockResource(loaded) : nullptr);
}

struct Styles {
    bool border;
    bool clientEdge;
    bool staticEdge;
    int inset; // client rectangle inside the window rectangle, on each side
};

::testing::AssertionResult HasStyles(HWND hwnd, const Styles& want) {
    const auto style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    RECT window{};
    RECT client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT adjusted = client;
    AdjustWindowRectEx(&adjusted, style, FALSE, exStyle);
    if (((style & WS_BORDER) != 0) != want.border ||
        ((exStyle & WS_EX_CLIENTEDGE) != 0) != want.clientEdge ||
        ((exStyle & WS_EX_STATICEDGE) != 0) != want.staticEdge) {
        return ::testing::AssertionFailure()
               << std::hex << "style 0x" << style << ", extended style 0x" << exStyle;
    }
    if (client.right != width - 2 * want.inset || client.bottom != height - 2 * want.inset) {
        return ::testing::AssertionFailure() << "client " << client.right << " x " << client.bottom
                                             << " in a window " << width << " x " << height;
    }
    if (adjusted.right - adjusted.left != width || adjusted.bottom - adjusted.top != height) {
        return ::testing::AssertionFailure()
               << "AdjustWindowRectEx gives " << adjusted.right - adjusted.left << " x "
               << adjusted.bottom - adjusted.top;
    }
    return ::testing::AssertionSuccess();
}

class ClientEdgeTest : public WindowTest {};

struct TemplateCase {
    int id;
    const char* what;
    Styles styles;
};

TEST_F(ClientEdgeTest, ADialogGivesItsBorderedControlsAClientEdgeInstead) {
    const HWND dialog =
        CreateDialogIndirectParamA(nullptr, TemplateResource(kEdgeDialog), nullptr, nullptr, 0);
    ASSERT_TRUE(dialog);
    const TemplateCase cases[] = {
        {1001, "progress bar with WS_BORDER", {false, false, true, 1}},
        {1002, "static with WS_BORDER", {false, true, false, 2}},
        {1003, "static without a border", {false, false, false, 0}},
        {1004, "static with WS_EX_CLIENTEDGE", {false, true, false, 2}},
    };
    for (const TemplateCase& c : cases) {
        const HWND control = GetDlgItem(dialog, c.id);
        ASSERT_TRUE(control) << c.what;
        EXPECT_TRUE(HasStyles(control, c.styles)) << c.what;
    }
    EXPECT_TRUE(HasStyles(dialog, {true, false, false, 1})) << "the dialog keeps its own border";
    DestroyWindow(dialog);
}

struct DirectCase {
    LPCSTR cls;
    DWORD style;
    DWORD exStyle;
    const char* what;
    Styles styles;
};

TEST_F(ClientEdgeTest, CreateWindowKeepsTheBorderItIsGiven) {
    const HWND parent = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 100);
    const DirectCase cases[] = {
        {"Static", WS_BORDER, 0, "static with WS_BORDER", {true, false, false, 1}},
        {"Static", 0, WS_EX_CLIENTEDGE, "static with a client edge", {false, true, false, 2}},
        {"Static", WS_BORDER, WS_EX_CLIENTEDGE, "static with both", {true, true, false, 3}},
        {"Static", 0, WS_EX_STATICEDGE, "static with a static edge", {false, false, true, 1}},
        {PROGRESS_CLASSA,
         0,
         WS_EX_CLIENTEDGE,
         "progress bar with a client edge",
         {false, false, true, 1}},
        {PROGRESS_CLASSA, WS_BORDER, 0, "progress bar with WS_BORDER", {true, false, true, 2}},
    };
    for (const DirectCase& c : cases) {
        const HWND child = CreateWindowExA(c.exStyle, c.cls, "", WS_CHILD | WS_VISIBLE | c.style,
                                           10, 10, 60, 20, parent, nullptr, nullptr, nullptr);
        ASSERT_TRUE(child) << c.what;
        EXPECT_TRUE(HasStyles(child, c.styles)) << c.what;
        DestroyWindow(child);
    }
    DestroyWindow(parent);
}

// A ring's colour for top and left, and for bottom and right; the corners at top right and
// bottom left take the second.
struct Ring {
    int topLeft;
    int bottomRight;
};

struct EdgePixelCase {
    LPCSTR cls;
    DWORD style;
    DWORD exStyle;
    const char* what;
    std::vector<Ring> rings;
};

COLORREF AsColour(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// Every pixel of the rings, outermost first; the first wrong one is reported.
::testing::AssertionResult ShowsRings(HWND hwnd, const std::vector<Ring>& rings) {
    const platform::display::Image image = WindowImage(hwnd);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int depth = std::min({x, y, image.width - 1 - x, image.height - 1 - y});
            if (depth >= static_cast<int>(rings.size())) {
                continue;
            }
            const Ring& ring = rings[static_cast<std::size_t>(depth)];
            const bool farSide = x == image.width - 1 - depth || y == image.height - 1 - depth;
            const COLORREF want = GetSysColor(farSide ? ring.bottomRight : ring.topLeft);
            if (AsColour(image.At(x, y)) != want) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is 0x" << std::hex << image.At(x, y)
                       << ", not RGB 0x" << want;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(ClientEdgeTest, EdgesAreDrawnInTheClassicColours) {
    const HWND parent = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 110);
    const Ring sunkenOuter{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    const Ring sunkenInner{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    const Ring line{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    const EdgePixelCase cases[] = {
        {"Static", 0, WS_EX_CLIENTEDGE, "client edge", {sunkenOuter, sunkenInner}},
        {"Static", 0, WS_EX_STATICEDGE, "static edge", {sunkenOuter}},
        {"Static", WS_BORDER, 0, "border", {line}},
        {"Static", WS_BORDER, WS_EX_STATICEDGE, "static edge and border", {sunkenOuter, line}},
        {PROGRESS_CLASSA, 0, WS_EX_CLIENTEDGE, "progress bar", {sunkenOuter}},
    };
    std::vector<HWND> children;
    for (const EdgePixelCase& c : cases) {
        const int top = 4 + 20 * static_cast<int>(children.size());
        children.push_back(CreateWindowExA(c.exStyle, c.cls, "", WS_CHILD | WS_VISIBLE | c.style,
                                           20, top, 40, 16, parent, nullptr, nullptr, nullptr));
        ASSERT_TRUE(children.back()) << c.what;
    }
    UpdateWindow(parent);
    Pump();
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_TRUE(ShowsRings(children[i], cases[i].rings)) << cases[i].what;
    }
    DestroyWindow(parent);
}

} // namespace
