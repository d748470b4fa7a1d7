// How far the dialog manager reads a template it is given only by address.
#include "TestSupport.h"

namespace {

constexpr int kClassic = 301;
constexpr int kCutShort = 302;

LPCDLGTEMPLATEA TemplateResource(int id) {
    const HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
    return static_cast<LPCDLGTEMPLATEA>(loaded ? LockResource(loaded) : nullptr);
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A dialog box that was built after all ends at once rather than wait for input.
INT_PTR CALLBACK EndingDialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        EndDialog(hwnd, IDOK);
    }
    return FALSE;
}

class DialogManagerTest : public usertest::WindowTest {};

// Windows would read on past the resource; the platform stops at its end, so a damaged
// template is refused instead of being completed by whatever follows it.
TEST_F(DialogManagerTest, ATemplateGivenByAddressIsReadNoFurtherThanItsResource) {
    const LPCDLGTEMPLATEA cut = TemplateResource(kCutShort);
    ASSERT_NE(cut, nullptr);
    SetLastError(0);
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, cut, nullptr, &PassiveDialogProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, cut, nullptr, &EndingDialogProc, 0), -1);
    const HWND whole =
        CreateDialogIndirectParamA(nullptr, TemplateResource(kClassic), nullptr, nullptr, 0);
    EXPECT_NE(whole, nullptr);
    DestroyWindow(whole);
}

} // namespace
