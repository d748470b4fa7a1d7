#include "platform/afx/CDialog.h"

#include "platform/afx/CWinApp.h"
#include "platform/kernel32.h"
#include "user/Dialog.h"
#include "user/DialogTemplate.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_pParentWnd(pParentWnd) {}

namespace {

HWND TopLevel(HWND hWnd) {
    while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) {
        hWnd = ::GetParent(hWnd);
    }
    return hWnd;
}

} // namespace

HWND CDialog::PreModal() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent) {
        const CWnd* main = AfxGetMainWnd();
        parent = main ? main->m_hWnd : nullptr;
    }
    // The dialog itself cannot own itself (a main window run modally has no owner).
    parent = TopLevel(parent);
    return parent == m_hWnd ? nullptr : parent;
}

int CDialog::DoModal() {
    const HINSTANCE instance = AfxGetResourceHandle();
    const HRSRC res = ::FindResourceA(instance, m_lpszTemplateName, RT_DIALOG);
    const HGLOBAL loaded = res ? ::LoadResource(instance, res) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const std::size_t size = res ? ::SizeofResource(instance, res) : 0;
    platform::user::DialogTemplate header;
    if (!data || !platform::user::ParseDialogTemplate(data, size, header)) {
        return -1;
    }
    m_templateStyle = header.style;
    m_templateX = header.x;
    m_templateY = header.y;
    const HWND parent = PreModal();
    const bool enableParent = parent && ::IsWindowEnabled(parent);
    if (enableParent) {
        ::EnableWindow(parent, FALSE);
    }
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    HookWindowCreate();
    const HWND hWnd =
        platform::user::CreateDialogFromTemplate(instance, data, size, parent, nullptr, 0);
    UnhookWindowCreate();
    if (hWnd && hWnd == m_hWnd) {
        if (m_nFlags & WF_CONTINUEMODAL) {
            RunModalLoop(MLF_SHOWONIDLE);
        }
        if (m_hWnd) {
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (enableParent) {
        ::EnableWindow(parent, TRUE);
    }
    if (parent && ::GetActiveWindow() != parent) {
        ::SetActiveWindow(parent);
    }
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) {
        EndModalLoop(nResult);
    }
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    Default();
    return OnInitDialog();
}

// Enter and Esc become the dialog's IDOK and IDCANCEL here, for the dialog and its controls.
BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (!m_hWnd || !pMsg) {
        return FALSE;
    }
    const bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                       (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!input) {
        return FALSE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::CheckAutoCenter() {
    if (m_templateStyle & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) {
        return FALSE;
    }
    return m_templateX == 0 && m_templateY == 0;
}
