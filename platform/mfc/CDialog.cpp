#include "platform/afx/CDialog.h"

#include "platform/afx/CWinApp.h"
#include "platform/kernel32.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() : m_lpszTemplateName(nullptr), m_nIDHelp(0), m_pParentWnd(nullptr) {}

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

struct TemplateHeader {
    DWORD style = 0;
    short x = 0;
    short y = 0;
};

// Style and position of a classic or an extended template, read within its size. The dialog
// manager checks the rest when it builds the dialog.
bool ReadTemplateHeader(const void* data, std::size_t size, TemplateHeader& out) {
    const auto* bytes = static_cast<const BYTE*>(data);
    WORD version[2] = {};
    if (!data || size < sizeof version) {
        return false;
    }
    std::memcpy(version, bytes, sizeof version);
    const bool extended = version[0] == 1 && version[1] == 0xFFFF;
    const std::size_t styleAt = extended ? 12 : 0;
    const std::size_t xAt = extended ? 18 : 10;
    if (size < xAt + 2 * sizeof(short)) {
        return false;
    }
    std::memcpy(&out.style, bytes + styleAt, sizeof out.style);
    std::memcpy(&out.x, bytes + xAt, sizeof out.x);
    std::memcpy(&out.y, bytes + xAt + sizeof(short), sizeof out.y);
    return true;
}

// Every framework dialog's procedure. The object's message map sees the messages first,
// through AfxWndProc; a procedure must be there for the dialog to get WM_INITDIALOG.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// An extended template's header is longer than the classic one.
constexpr std::size_t kExtendedHeaderBytes = 26;

std::size_t HeaderBytes(const void* data) {
    WORD version[2] = {};
    std::memcpy(version, data, sizeof version);
    return version[0] == 1 && version[1] == 0xFFFF ? kExtendedHeaderBytes : sizeof(DLGTEMPLATE);
}

} // namespace

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
    if (!lpDialogTemplate) {
        return FALSE;
    }
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpszTemplateName = nullptr;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

const void* CDialog::FindTemplate(std::size_t& size) const {
    if (m_lpDialogTemplate) {
        size = HeaderBytes(m_lpDialogTemplate);
        return m_lpDialogTemplate;
    }
    if (!m_lpszTemplateName) {
        return nullptr;
    }
    const HINSTANCE instance = AfxGetResourceHandle();
    const HRSRC res = ::FindResourceA(instance, m_lpszTemplateName, RT_DIALOG);
    const HGLOBAL loaded = res ? ::LoadResource(instance, res) : nullptr;
    size = res ? ::SizeofResource(instance, res) : 0;
    return loaded ? ::LockResource(loaded) : nullptr;
}

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
    std::size_t size = 0;
    const void* data = FindTemplate(size);
    TemplateHeader header;
    if (!ReadTemplateHeader(data, size, header)) {
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
    const HWND hWnd = ::CreateDialogIndirectParamA(
        AfxGetResourceHandle(), static_cast<LPCDLGTEMPLATEA>(data), parent, &AfxDlgProc, 0);
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
