#include "ShowOutcomeNotice.h"
#include "UpdateDlg.h"

void CUpdateDlg::ShowSuccessNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)),
                      "skin_congratulation_fw.ini");
}
