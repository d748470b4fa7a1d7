// CBT hooks: installation errors, when HCBT_CREATEWND comes, chain order and refusal.
#include "Win32Test.h"

#include <string>

using namespace win32test;

namespace {

// Stands for a hook call in the message log, beside the window's own messages.
constexpr UINT kCbtCreateSeen = 0x10000 + HCBT_CREATEWND;

struct HookCall {
    std::string hook;
    int code;
    HWND hwnd;
    CREATESTRUCTA cs;
    std::string className; // cs.lpszClass lives only as long as the hook call
};

// What the hook procedures below do: log, pass on, or answer.
struct HookScript {
    std::vector<HookCall> calls;
    bool newerPassesOn = true;
    LRESULT newerAnswer = 0;
    HHOOK unhookFromNewer = nullptr;
};

HookScript* g_script = nullptr;

// The system may make windows of its own (an input method's) and send other CBT notices; the
// tests watch only the creation of their own windows.
bool IsOwnCreation(int code, LPARAM lParam) {
    if (code != HCBT_CREATEWND) {
        return false;
    }
    const LPCSTR cls = reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
    return !IS_INTRESOURCE(cls) && std::string(cls) == LogClass();
}

void Record(const char* name, int code, WPARAM wParam, LPARAM lParam) {
    const auto* cbt = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    const auto hwnd = reinterpret_cast<HWND>(wParam);
    g_script->calls.push_back(HookCall{name, code, hwnd, *cbt->lpcs, cbt->lpcs->lpszClass});
    MessageLog::Get().Add(Logged{hwnd, kCbtCreateSeen, wParam, lParam});
}

LRESULT CALLBACK OlderHook(int code, WPARAM wParam, LPARAM lParam) {
    if (IsOwnCreation(code, lParam)) {
        Record("older", code, wParam, lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK NewerHook(int code, WPARAM wParam, LPARAM lParam) {
    if (!IsOwnCreation(code, lParam)) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    Record("newer", code, wParam, lParam);
    if (g_script->unhookFromNewer) {
        UnhookWindowsHookEx(g_script->unhookFromNewer);
        g_script->unhookFromNewer = nullptr;
    }
    if (!g_script->newerPassesOn) {
        return g_script->newerAnswer;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class HookTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        g_script = &script_;
    }
    void TearDown() override {
        for (HHOOK hook : installed_) {
            UnhookWindowsHookEx(hook);
        }
        g_script = nullptr;
        WindowTest::TearDown();
    }
    HHOOK Install(HOOKPROC proc) {
        const HHOOK hook = SetWindowsHookExA(WH_CBT, proc, nullptr, GetCurrentThreadId());
        EXPECT_NE(hook, nullptr) << GetLastError();
        installed_.push_back(hook);
        return hook;
    }
    std::vector<std::string> HookOrder() const {
        std::vector<std::string> order;
        for (const HookCall& call : script_.calls) {
            order.push_back(call.hook);
        }
        return order;
    }

    HookScript script_;
    std::vector<HHOOK> installed_;
};

struct RefusalCase {
    const char* name;
    int kind;
    HOOKPROC proc;
    DWORD thread; // 1: this thread
    DWORD error;
};

void ExpectRefused(const RefusalCase& c) {
    SetLastError(0);
    const DWORD thread = c.thread == 1 ? GetCurrentThreadId() : c.thread;
    const HHOOK hook = SetWindowsHookExA(c.kind, c.proc, nullptr, thread);
    EXPECT_EQ(hook, nullptr) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
    if (hook) {
        UnhookWindowsHookEx(hook);
    }
}

TEST_F(HookTest, SetWindowsHookExRefusesWhatItCannotInstall) {
    const RefusalCase cases[] = {
        {"no procedure", WH_CBT, nullptr, 1, ERROR_INVALID_FILTER_PROC},
        {"every thread without a module", WH_CBT, &OlderHook, 0, ERROR_HOOK_NEEDS_HMOD},
        {"a thread that does not exist", WH_CBT, &OlderHook, 0x7FFFFFF0u, ERROR_INVALID_PARAMETER},
    };
    for (const RefusalCase& c : cases) {
        ExpectRefused(c);
    }
}

TEST_F(HookTest, HookKindsOutsideTheRangeAreRefused) {
    const RefusalCase cases[] = {
        {"kind below the range", -2, &OlderHook, 1, ERROR_INVALID_HOOK_FILTER},
        {"kind above the range", 15, &OlderHook, 1, ERROR_INVALID_HOOK_FILTER},
    };
    for (const RefusalCase& c : cases) {
        ExpectRefused(c);
    }
}

TEST_F(HookTest, UnhookingTwiceOrAnUnknownHandleFails) {
    const HHOOK hook = SetWindowsHookExA(WH_CBT, &OlderHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    for (const HHOOK stale : {hook, reinterpret_cast<HHOOK>(0x1234), HHOOK{}}) {
        SetLastError(0);
        EXPECT_FALSE(UnhookWindowsHookEx(stale));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_HANDLE));
    }
}

TEST_F(HookTest, CreateWindowIsSeenBeforeTheWindowsFirstMessage) {
    Install(&OlderHook);
    const HWND parent = CreateLogWindow(WS_POPUP, 3, 4, 50, 40);
    ASSERT_TRUE(parent);
    const HWND child = CreateLogWindow(WS_CHILD, 1, 2, 10, 20, parent, 7);
    ASSERT_TRUE(child);
    for (const HWND w : {parent, child}) {
        const std::vector<UINT> first = MessageLog::Get().Of(w, {kCbtCreateSeen, WM_NCCREATE});
        EXPECT_EQ(first, (std::vector<UINT>{kCbtCreateSeen, WM_NCCREATE}));
        ASSERT_FALSE(MessageLog::Get().Of(w).empty());
        EXPECT_EQ(MessageLog::Get().Of(w).front(), kCbtCreateSeen);
    }
    ASSERT_EQ(script_.calls.size(), 2u);
    const HookCall& seen = script_.calls[1];
    EXPECT_EQ(seen.code, HCBT_CREATEWND);
    EXPECT_EQ(seen.hwnd, child);
    EXPECT_EQ(seen.className, LogClass());
    EXPECT_EQ(seen.cs.hwndParent, parent);
    EXPECT_EQ(seen.cs.x, 1);
    EXPECT_EQ(seen.cs.y, 2);
    EXPECT_EQ(seen.cs.cx, 10);
    EXPECT_EQ(seen.cs.cy, 20);
    EXPECT_EQ(seen.cs.hMenu, reinterpret_cast<HMENU>(7));
    DestroyWindow(parent);
}

TEST_F(HookTest, TheNewestHookRunsFirstAndPassesOnWithCallNextHookEx) {
    Install(&OlderHook);
    Install(&NewerHook);
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(w);
    EXPECT_EQ(HookOrder(), (std::vector<std::string>{"newer", "older"}));
    DestroyWindow(w);
}

TEST_F(HookTest, AHookThatDoesNotPassOnEndsTheChain) {
    Install(&OlderHook);
    Install(&NewerHook);
    script_.newerPassesOn = false;
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(w);
    EXPECT_EQ(HookOrder(), (std::vector<std::string>{"newer"}));
    DestroyWindow(w);
}

TEST_F(HookTest, ANonZeroAnswerRefusesTheWindow) {
    Install(&NewerHook);
    script_.newerPassesOn = false;
    script_.newerAnswer = 1;
    EXPECT_EQ(CreateLogWindow(WS_POPUP, 0, 0, 10, 10), nullptr);
    ASSERT_EQ(script_.calls.size(), 1u);
    const HWND refused = script_.calls[0].hwnd;
    EXPECT_FALSE(IsWindow(refused));
    EXPECT_TRUE(MessageLog::Get().Of(refused, {WM_NCCREATE, WM_CREATE}).empty());
}

TEST_F(HookTest, AHookUnhookedMeanwhileIsSkippedAndOneUnhookedIsNotCalledAgain) {
    const HHOOK older = Install(&OlderHook);
    const HHOOK newer = Install(&NewerHook);
    script_.unhookFromNewer = older;
    const HWND first = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(HookOrder(), (std::vector<std::string>{"newer"}));
    EXPECT_TRUE(UnhookWindowsHookEx(newer));
    script_.calls.clear();
    const HWND second = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    EXPECT_TRUE(script_.calls.empty());
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(HookTest, CallNextHookExOutsideAHookAnswersZero) {
    Install(&OlderHook);
    EXPECT_EQ(CallNextHookEx(nullptr, HCBT_CREATEWND, 0, 0), 0);
    EXPECT_TRUE(script_.calls.empty());
}

struct OtherThread {
    HANDLE ready = nullptr;
    HANDLE done = nullptr;
    DWORD id = 0;
};

DWORD WINAPI WaitInOtherThread(LPVOID p) {
    auto* other = static_cast<OtherThread*>(p);
    other->id = GetCurrentThreadId();
    ReleaseSemaphore(other->ready, 1, nullptr);
    WaitForSingleObject(other->done, INFINITE);
    return 0;
}

// A thread's hook watches that thread only.
TEST_F(HookTest, AHookOfAnotherThreadIsNotCalledHere) {
    OtherThread other;
    other.ready = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    other.done = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_TRUE(other.ready && other.done);
    const HANDLE thread = CreateThread(nullptr, 0, &WaitInOtherThread, &other, 0, nullptr);
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(other.ready, 10000), WAIT_OBJECT_0);
    const HHOOK hook = SetWindowsHookExA(WH_CBT, &OlderHook, nullptr, other.id);
    EXPECT_NE(hook, nullptr);
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    EXPECT_TRUE(script_.calls.empty());
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    ReleaseSemaphore(other.done, 1, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(other.ready);
    CloseHandle(other.done);
    DestroyWindow(w);
}

} // namespace
