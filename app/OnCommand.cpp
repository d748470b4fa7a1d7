#include "UpdateDlg.h"

// Both skinned buttons carry id 0, so only the source window tells OK from Cancel. A command
// without a source window (menu, accelerator, keyboard) never counts as a button press, even
// before the buttons exist.
BOOL CUpdateDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND hWndSource = reinterpret_cast<HWND>(lParam);
    if (hWndSource && hWndSource == m_btnOK.m_hWnd) {
        RunUpdate();
    } else if (hWndSource && hWndSource == m_btnCancel.m_hWnd) {
        ::PostQuitMessage(0);
    }
    return CWnd::OnCommand(wParam, lParam);
}
