// How an update run ends: the version check's notice or prompt, and the outcome notices.
#include "UpdateDlg.h"

#include "NoticeDlg.h"
#include "PromptDlg.h"

namespace {

// Puts the bar back to 0, shows the notice with the given skin over pParent and asks the
// program to end when the user closes it with OK.
void ShowOutcomeNotice(CProgressCtrl& progress, CWnd* pParent, LPCTSTR lpszSkinName) {
    progress.SendMessage(PBM_SETPOS, 0);
    CNoticeDlg dlgNotice(pParent);
    dlgNotice.m_strSkinName = lpszSkinName;
    if (dlgNotice.DoModal() == IDOK) {
        ::PostQuitMessage(0);
    }
}

} // namespace

// 1 lets the update go on; 2 means the device is up to date; 3 means the user refused to
// write an older image.
int CUpdateDlg::CheckFWversion(UINT uDeviceVersion, UINT uImageVersion) {
    CWnd* pParent = CWnd::FromHandle(::GetParent(m_hWnd));
    if (uDeviceVersion == uImageVersion) {
        ::OutputDebugStringA("CheckFWversion  :same version!\n ");
        CNoticeDlg dlgNotice(pParent);
        if (dlgNotice.DoModal() == IDOK) {
            ::PostQuitMessage(0);
        }
        return 2;
    }
    if (uDeviceVersion < uImageVersion) {
        ::OutputDebugStringA("CheckFWversion  :new version!\n ");
        return 1;
    }
    ::OutputDebugStringA("CheckFWversion  :old version!\n ");
    CPromptDlg dlgPrompt(pParent);
    if (dlgPrompt.DoModal() == IDCANCEL) {
        ::PostQuitMessage(0);
        return 3;
    }
    return 1;
}

void CUpdateDlg::ShowSuccessNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)),
                      "skin_congratulation_fw.ini");
}

void CUpdateDlg::ShowFailureNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)), "skin_error_fw.ini");
}
