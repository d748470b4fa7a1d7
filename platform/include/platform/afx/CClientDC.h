// A DC on a window's client area: GetDC when made, ReleaseDC when destroyed.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/user32.h"

class CWnd;

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};
