// Dialog data exchange: DoDataExchange binds dialog controls to members (DDX_Control).
#pragma once

#include "platform/user32.h"

class CWnd;

class CDataExchange {
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // The control's window, or nullptr (and the exchange marked failed) when there is none.
    HWND PrepareCtrl(int nIDC);
    // MFC throws here; this one records the failure, and UpdateData reports it.
    void Fail() { m_bFailed = TRUE; }
    BOOL Failed() const { return m_bFailed; }

private:
    BOOL m_bFailed = FALSE;
};

// Subclasses control nIDC to rControl the first time, so the member sees its messages.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
