#include "app/CUpdateDlg.h"
#include "app/ShowOutcomeNotice.h"

void CUpdateDlg::ShowFailureNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)), "skin_error_fw.ini");
}
