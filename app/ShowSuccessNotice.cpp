#include "app/CUpdateDlg.h"
#include "app/ShowOutcomeNotice.h"

void CUpdateDlg::ShowSuccessNotice() {
    ShowOutcomeNotice(m_progress, CWnd::FromHandle(::GetParent(m_hWnd)),
                      "skin_congratulation_fw.ini");
}
