// The DC of one WM_PAINT: BeginPaint when made, EndPaint when destroyed.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/user32.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
