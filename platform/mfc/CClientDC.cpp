#include "platform/afx/CClientDC.h"

#include "platform/afx/CWnd.h"

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    const HDC hdc = Detach();
    if (hdc) {
        ::ReleaseDC(m_hWnd, hdc);
    }
}
