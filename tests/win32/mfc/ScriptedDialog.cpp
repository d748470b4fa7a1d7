#include "ScriptedDialog.h"

namespace mfctest {

namespace {

constexpr UINT_PTR kScriptTimer = 1;

} // namespace

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL ScriptedDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    log.push_back("init");
    SetTimer(kScriptTimer, 20);
    return TRUE;
}

// The dialog shows only after WM_INITDIALOG, so the script waits for the first tick that finds
// it visible.
void ScriptedDialog::OnTimer(UINT_PTR) {
    if (ran_ || !IsWindowVisible()) {
        return;
    }
    ran_ = true;
    KillTimer(kScriptTimer);
    if (script) {
        script(*this);
    }
}

BOOL ScriptedDialog::PreTranslateMessage(MSG* pMsg) {
    if (swallowKeys && pMsg->message == WM_KEYDOWN &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        log.push_back("swallowed");
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void ScriptedDialog::OnOK() {
    log.push_back("ok");
    CDialog::OnOK();
}

void ScriptedDialog::OnCancel() {
    log.push_back("cancel");
    CDialog::OnCancel();
}

} // namespace mfctest
