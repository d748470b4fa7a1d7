#include "platform/afx/CToolTipCtrl.h"

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    const BOOL created =
        CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                 CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
    if (created) {
        SetOwner(pParentWnd);
    }
    return created;
}

TOOLINFOA CToolTipCtrl::ToolInfo(CWnd* pWnd, LPCTSTR lpszText, UINT_PTR nIDTool) {
    TOOLINFOA ti{};
    // Every version of the control takes this size; the full one needs the newest.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
    ti.uId = nIDTool;
    if (nIDTool == 0) {
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
    }
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    if (!pWnd || !m_hWnd) {
        return FALSE;
    }
    TOOLINFOA ti = ToolInfo(pWnd, lpszText, nIDTool);
    if (lpRectTool) {
        ti.rect = *lpRectTool;
    } else if (nIDTool != 0) {
        pWnd->GetClientRect(&ti.rect);
    }
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
    if (!pWnd || !m_hWnd) {
        return;
    }
    TOOLINFOA ti = ToolInfo(pWnd, lpszText, nIDTool);
    SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}
