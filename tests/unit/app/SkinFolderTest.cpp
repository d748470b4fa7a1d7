// The main window finds its skin library beside the executable, whatever folder the program
// was started from: one with no skins at all, and one holding another skins\ridozuveza.dll.
#include "DevsimProcess.h"
#include "SkinnedWindowChecks.h"
#include "UpdateApp.h"
#include "UpdateDlg.h"
#include "user/Window.h"

#include <unistd.h>

#include <filesystem>

namespace {

using skintest::Do;
using skintest::Image;
using skintest::ScriptRunner;
using skintest::Until;

constexpr RECT kBar{24, 90, 356, 134};

class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    ~CurrentFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

class SkinFolder : public usertest::WindowTest {
protected:
    // From the executable's folder a library beside the executable and one beside the working
    // folder are the same file, so these are the real skin's pictures however the loader looks.
    static void SetUpTestSuite() {
        const CurrentFolder beside(std::filesystem::read_symlink("/proc/self/exe").parent_path());
        Background() = skintest::SkinPicture("1015");
        Mask() = skintest::SkinMask();
    }
    static Image& Background() {
        static Image image;
        return image;
    }
    static Image& Mask() {
        static Image image;
        return image;
    }

    void SetUp() override {
        usertest::WindowTest::SetUp();
        ::setenv("NERITH_DEVICE_DIR", devices_.Path().c_str(), 1);
    }
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }

    // Starts the main window from `folder` and checks that it wears the real skin.
    static void ExpectSkinnedFrom(const std::string& folder) {
        const CurrentFolder current(folder);
        CUpdateDlg dlg;
        std::vector<ScriptRunner::Step> steps{
            Until("the main window", [&dlg] { return dlg.m_hWnd && dlg.IsWindowVisible(); }),
            Do([&dlg] {
                EXPECT_TRUE(skintest::HasSkinGeometry(dlg.m_hWnd, Background()));
                EXPECT_TRUE(skintest::HasMaskShape(dlg.m_hWnd, Mask()));
                EXPECT_TRUE(skintest::ShowsPicture(dlg.m_hWnd, Background(), Mask(), kBar));
                dlg.PostMessage(WM_COMMAND, IDCANCEL, 0);
            })};
        ScriptRunner script(std::move(steps));
        theApp.m_pMainWnd = &dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        theApp.m_pMainWnd = nullptr;
        EXPECT_TRUE(script.Finished());
    }

    nerith::test::TempFolder devices_;
};

TEST_F(SkinFolder, StartedFromTheRootFolder) {
    ExpectSkinnedFrom("/");
}

// A folder holding another skins\ridozuveza.dll (the real pictures with a half-size mask).
TEST_F(SkinFolder, StartedFromAFolderWithAnotherSkin) {
    nerith::test::TempFolder planted;
    std::filesystem::create_directory(planted.File("skins"));
    std::filesystem::copy_file(NERITH_OTHER_SKIN, planted.File("skins/ridozuveza.dll"));
    ExpectSkinnedFrom(planted.Path());
}

} // namespace
