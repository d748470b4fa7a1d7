// A popup that cannot be created (DoModal gives -1) decides nothing for the user: the
// downgrade prompt lets the update go on, the notices post no quit and the main window stays.
// The executable's resources here lack the popups' template, so every popup fails that way.
#include "DevsimProcess.h"
#include "ObservedUpdateDlg.h"
#include "SkinTestSupport.h"
#include "UpdateApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using nerith::test::DevsimProcess;
using skintest::Do;
using skintest::ScriptRunner;
using skintest::Until;

constexpr std::size_t kVersionAddress = 0xDE00;

struct Case {
    const char* name;
    const char* deviceVersion; // bytes 0 and 1 of the driver's reply
    bool updated;              // whether the carried image (1, 64) reaches the flash
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class PopupCreationFailure : public usertest::WindowTest,
                             public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        usertest::WindowTest::SetUp();
        ASSERT_TRUE(devsim_.Running()) << devsim_.Error();
        devsim_.UseAsDeviceFolder();
        ::setenv("TEMP", temp_.Path().c_str(), 1);
    }
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }

    DevsimProcess devsim_;
    nerith::test::TempFolder temp_;
};

TEST_P(PopupCreationFailure, DecidesNothingAndLeavesTheMainWindowOpen) {
    const Case& c = GetParam();
    ASSERT_EQ(devsim_.Control(std::string("image-version ") + c.deviceVersion), "ok");
    CObservedUpdateDlg dlg;
    bool popupSeen = false;
    // Two presses of OK: a quit posted by the first would end the window before the second.
    const auto runEnded = [&dlg, &popupSeen](int run) {
        return [&dlg, &popupSeen, run] {
            HWND hPopup = nullptr;
            popupSeen = popupSeen || ShownPopup(&hPopup) != Popup::None;
            return dlg.RunsEnded() >= run;
        };
    };
    std::vector<ScriptRunner::Step> steps{
        Until("the main window", [&dlg] { return dlg.m_hWnd && dlg.IsWindowVisible(); }),
        Do([&dlg] { dlg.ClickOk(); }),
        Until("the first run's end", runEnded(1)),
        Do([&dlg] { dlg.ClickOk(); }),
        Until("the second run's end", runEnded(2)),
        Do([&dlg] { dlg.PostMessage(WM_COMMAND, IDCANCEL, 0); }),
    };
    ScriptRunner script(std::move(steps), std::chrono::seconds(30));
    theApp.m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "no quit was posted";
    theApp.m_pMainWnd = nullptr;
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(popupSeen);

    const unsigned programRequests = devsim_.Count("program");
    const std::vector<std::uint8_t> flash = devsim_.DumpFlash();
    ASSERT_EQ(flash.size(), 0x10000u);
    // The device stays in programming mode after an update, so the second press ends at the
    // version query: one update in all.
    if (c.updated) {
        EXPECT_EQ(devsim_.Count("enter_icp"), 1u);
        EXPECT_GT(programRequests, 0u);
        EXPECT_EQ(flash[kVersionAddress], 1);
        EXPECT_EQ(flash[kVersionAddress + 1], 64);
    } else {
        EXPECT_EQ(devsim_.Count("enter_icp"), 0u);
        EXPECT_EQ(programRequests, 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(temp_.File("temp.s19")));
}

// 2.0 is newer than the carried 1.64 (the prompt), 1.64 the same (the up-to-date notice),
// 1.0 older (no question; only the outcome notices fail).
INSTANTIATE_TEST_SUITE_P(Versions, PopupCreationFailure,
                         ::testing::Values(Case{"Newer", "2,0", true}, Case{"Same", "1,64", false},
                                           Case{"Older", "1,0", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
