#include "ShowOutcomeNotice.h"
#include "UpdateDlg.h"

void CUpdateDlg::ShowFailureNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)), "skin_error_fw.ini");
}
