// MFC's tooltip control (tooltips_class32): a pop-up owned by the parent given to Create.
#pragma once

#include "platform/afx/CWnd.h"
#include "platform/commctrl.h"

class CToolTipCtrl : public CWnd {
public:
    // The control's own overload must not hide the window's (clang warns).
    using CWnd::Create;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool for pWnd: the rectangle (pWnd's client coordinates) with id nIDTool, or the
    // whole window when nIDTool is 0.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr,
                 UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    void RelayEvent(LPMSG lpMsg) {
        SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg));
    }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }

private:
    static TOOLINFOA ToolInfo(CWnd* pWnd, LPCTSTR lpszText, UINT_PTR nIDTool);
};
