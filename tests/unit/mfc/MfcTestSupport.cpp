#include "MfcTestSupport.h"

namespace mfctest {

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL ScriptedDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    log.push_back("init");
    SetTimer(1, 20);
    return TRUE;
}

void ScriptedDialog::OnTimer(UINT_PTR) {
    if (ran_ || !IsWindowVisible()) {
        return;
    }
    ran_ = true;
    KillTimer(1);
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
