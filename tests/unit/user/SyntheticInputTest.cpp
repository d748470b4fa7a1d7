// Made-up input this keyboard cannot give a meaning to is refused where it stands, and what
// came before it is still delivered.
#include "TestSupport.h"

using namespace usertest;

namespace {

class SyntheticInputTest : public WindowTest {};

INPUT Key(WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    return input;
}

TEST_F(SyntheticInputTest, InputWithoutAVirtualKeyOrOfNoKnownKindStopsTheBatch) {
    INPUT unknown = Key('A', 0);
    unknown.type = 7;
    const struct {
        const char* name;
        INPUT refused;
    } cases[] = {
        {"a character", Key(0, KEYEVENTF_UNICODE)},
        {"a scan code", Key(0, KEYEVENTF_SCANCODE)},
        {"no key at all", Key(0, 0)},
        {"key 255", Key(0xFF, 0)},
        {"an unknown kind", unknown},
    };
    const HWND w = CreateLogWindow(WS_POPUP | WS_VISIBLE, 10, 10, 50, 50);
    ASSERT_TRUE(w);
    for (const auto& c : cases) {
        Pump();
        MessageLog::Get().Clear();
        INPUT batch[] = {Key('B', 0), c.refused, Key('B', KEYEVENTF_KEYUP)};
        SetLastError(0);
        EXPECT_EQ(SendInput(3, batch, sizeof(INPUT)), 1u) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.name;
        Pump();
        EXPECT_EQ(MessageLog::Get().Of(w, {WM_KEYDOWN, WM_KEYUP}), (std::vector<UINT>{WM_KEYDOWN}))
            << c.name;
        INPUT up = Key('B', KEYEVENTF_KEYUP);
        EXPECT_EQ(SendInput(1, &up, sizeof(INPUT)), 1u);
    }
    DestroyWindow(w);
}

} // namespace
