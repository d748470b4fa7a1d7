#include "ObservedUpdateDlg.h"

#include "NoticeDlg.h"
#include "PromptDlg.h"
#include "TestSupport.h"
#include "UpdateProgressMessage.h"

BEGIN_MESSAGE_MAP(CObservedUpdateDlg, CUpdateDlg)
ON_MESSAGE(WM_UPDATE_PROGRESS, OnProgressSeen)
END_MESSAGE_MAP()

void CObservedUpdateDlg::ClickOk() const {
    CRect button;
    m_btnOK.GetWindowRect(&button);
    usertest::Screen().Click(button.CenterPoint());
}

BOOL CObservedUpdateDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const bool ok = m_btnOK.m_hWnd && reinterpret_cast<HWND>(lParam) == m_btnOK.m_hWnd;
    m_nRunsStarted += ok ? 1 : 0;
    const BOOL result = CUpdateDlg::OnCommand(wParam, lParam);
    m_nRunsEnded += ok ? 1 : 0;
    return result;
}

LRESULT CObservedUpdateDlg::OnProgressSeen(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = OnUpdateProgress(wParam, lParam);
    m_progressSeen.push_back(wParam);
    if (m_onProgress) {
        m_onProgress(wParam);
    }
    return result;
}

const char* PopupName(Popup popup) {
    switch (popup) {
    case Popup::None:
        return "no popup";
    case Popup::SuccessNotice:
        return "the success notice";
    case Popup::FailureNotice:
        return "the failure notice";
    case Popup::UpToDateNotice:
        return "the up-to-date notice";
    case Popup::Prompt:
        return "the downgrade prompt";
    }
    return "?";
}

Popup ShownPopup(HWND* phWnd) {
    const HWND hWnd = ::GetActiveWindow();
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    *phWnd = hWnd;
    if (!pWnd || !::IsWindowVisible(hWnd)) {
        return Popup::None;
    }
    if (dynamic_cast<CPromptDlg*>(pWnd)) {
        return Popup::Prompt;
    }
    const auto* pNotice = dynamic_cast<CNoticeDlg*>(pWnd);
    if (!pNotice) {
        return Popup::None;
    }
    if (pNotice->m_strSkinName == "skin_congratulation_fw.ini") {
        return Popup::SuccessNotice;
    }
    return pNotice->m_strSkinName == "skin_error_fw.ini" ? Popup::FailureNotice
                                                         : Popup::UpToDateNotice;
}
