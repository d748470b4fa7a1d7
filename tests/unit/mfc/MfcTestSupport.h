// A dialog that runs a test's script once it is on the screen, so injected input reaches it
// the way a user's would.
#pragma once

#include "TestSupport.h"
#include "platform/mfc.h"

#include <functional>
#include <string>
#include <vector>

namespace mfctest {

class ScriptedDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    explicit ScriptedDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}

    // Runs once the dialog is visible, from inside its modal loop.
    std::function<void(ScriptedDialog&)> script;
    std::vector<std::string> log;
    BOOL swallowKeys = FALSE;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

private:
    bool ran_ = false;
};

// Presses a key on the headless screen (modifiers as HeadlessScreen takes them).
void Press(UINT vk, UINT modifiers = 0);
platform::display::NativeId NativeOf(HWND hwnd);

} // namespace mfctest
