#include "platform/afx/CDataExchange.h"

#include "platform/afx/CWnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    const HWND hWnd = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    if (!hWnd) {
        Fail();
    }
    return hWnd;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) {
        return;
    }
    const HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (hWnd && !rControl.SubclassWindow(hWnd)) {
        pDX->Fail();
    }
}
