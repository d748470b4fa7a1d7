// A dialog that runs a test's script once it is on the screen.
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

} // namespace mfctest
