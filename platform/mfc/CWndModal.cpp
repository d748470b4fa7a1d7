#include "MfcState.h"
#include "platform/afx/CDC.h"
#include "platform/afx/CGdiObject.h"
#include "platform/afx/CMenu.h"
#include "platform/afx/CWinApp.h"
#include "platform/afx/CWnd.h"

#include <algorithm>

namespace {

// What the framework does whenever its loop runs dry: temporary objects go.
void Idle() {
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
}

bool QueueIsEmpty() {
    MSG msg{};
    return !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

} // namespace

// MFC's modal loop: shows the window the first time the queue runs dry, pumps messages
// through PreTranslateMessage until EndModalLoop; a quit message ends it with -1 and is
// posted again for the loops around it.
int CWnd::RunModalLoop(DWORD dwFlags) {
    bool showOnIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    for (;;) {
        if (QueueIsEmpty()) {
            if (showOnIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showOnIdle = false;
            }
            Idle();
        }
        if (!AfxPumpMessage()) {
            AfxPostQuitMessage(static_cast<int>(platform::mfc::State().current.wParam));
            m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
            return -1;
        }
        if (!ContinueModal() || !::IsWindow(m_hWnd)) {
            break;
        }
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL);
    }
}

// Centres over the owner (or the work area when there is none, or it is hidden), kept inside
// the work area.
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    const DWORD style = GetStyle();
    HWND center = pAlternateOwner      ? pAlternateOwner->m_hWnd
                  : (style & WS_CHILD) ? ::GetParent(m_hWnd)
                                       : ::GetWindow(m_hWnd, GW_OWNER);
    if (center && !(::GetWindowLongA(center, GWL_STYLE) & WS_VISIBLE)) {
        center = nullptr;
    }
    CRect area;
    CRect target;
    if (style & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
        target = area;
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        target = area;
        if (center) {
            ::GetWindowRect(center, &target);
        }
    }
    CRect dialog;
    GetWindowRect(&dialog);
    if (style & WS_CHILD) {
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&dialog), 2);
    }
    int left = (target.left + target.right) / 2 - dialog.Width() / 2;
    int top = (target.top + target.bottom) / 2 - dialog.Height() / 2;
    left = std::max<int>(area.left, std::min<int>(left, area.right - dialog.Width()));
    top = std::max<int>(area.top, std::min<int>(top, area.bottom - dialog.Height()));
    SetWindowPos(nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
