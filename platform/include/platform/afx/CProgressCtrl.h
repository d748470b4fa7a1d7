// MFC's progress bar control (msctls_progress32).
#pragma once

#include "platform/afx/CWnd.h"
#include "platform/commctrl.h"

class CProgressCtrl : public CWnd {
public:
    // The control's own overload must not hide the window's (clang warns).
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
        return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    void SetRange(short nLower, short nUpper) {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
    }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, nPos)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, nPos)); }
    int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, nStep)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    COLORREF SetBkColor(COLORREF clrNew) {
        return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, clrNew));
    }
    COLORREF SetBarColor(COLORREF clrBar) {
        return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, clrBar));
    }
};
