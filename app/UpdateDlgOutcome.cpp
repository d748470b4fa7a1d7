#include "NoticeDlg.h"
#include "PromptDlg.h"
#include "UpdateDlg.h"

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
