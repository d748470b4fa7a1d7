#include "ShowOutcomeNotice.h"
#include "NoticeDlg.h"

void ShowOutcomeNotice(CProgressCtrl& progress, CWnd* pParent, LPCTSTR lpszSkinName) {
    progress.SendMessage(PBM_SETPOS, 0);
    CNoticeDlg dlgNotice(pParent);
    dlgNotice.m_strSkinName = lpszSkinName;
    if (dlgNotice.DoModal() == IDOK) {
        ::PostQuitMessage(0);
    }
}
