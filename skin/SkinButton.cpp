#include "SkinButton.h"

#include "BitmapRegion.h"

// The tooltip knows the button as one rectangular tool with this id.
#define SKIN_BUTTON_TOOL_ID 1

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
ON_WM_KILLFOCUS()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CSkinButton::CSkinButton() : m_bPressed(FALSE), m_bMouseOver(FALSE) {}

CSkinButton::~CSkinButton() {
    m_bmpNormal.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bMouseOver = FALSE;
}

void CSkinButton::PreSubclassWindow() {
    const UINT nStyle = GetStyle() & 0xFF;
    SendMessage(BM_SETSTYLE, nStyle | BS_OWNERDRAW, TRUE);
    CButton::PreSubclassWindow();
    ModifyStyle(WS_TABSTOP, 0);
}

void CSkinButton::SetStateBitmaps(RECT rect, CBitmap* pNormal, CBitmap* pHover, CBitmap* pPressed,
                                  CBitmap* pDisabled) {
    CDC* pDC = GetDC();
    CopyBitmapRect(pDC, &m_bmpNormal, pNormal, rect);
    CopyBitmapRect(pDC, &m_bmpHover, pHover, rect);
    CopyBitmapRect(pDC, &m_bmpPressed, pPressed, rect);
    CopyBitmapRect(pDC, &m_bmpDisabled, pDisabled, rect);
    ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
    ReleaseDC(pDC);
}

void CSkinButton::SetPressed(BOOL bPressed) {
    if (bPressed == m_bPressed) {
        return;
    }
    m_bPressed = bPressed;
    Invalidate(TRUE);
}

CBitmap* CSkinButton::ImageFor(UINT nItemState) {
    CBitmap* pImage = &m_bmpNormal;
    if (m_bPressed || (nItemState & ODS_SELECTED)) {
        pImage = &m_bmpPressed;
    } else if (m_bMouseOver) {
        pImage = &m_bmpHover;
    } else if (nItemState & ODS_DISABLED) {
        pImage = &m_bmpDisabled;
    }
    // A state never given an image looks normal rather than showing stale memory.
    return pImage->GetSafeHandle() ? pImage : &m_bmpNormal;
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CBitmap* pImage = ImageFor(lpDrawItemStruct->itemState);
    if (!pImage->GetSafeHandle()) {
        return;
    }
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CDC dcMem;
    dcMem.CreateCompatibleDC(pDC);
    CBitmap* pOld = dcMem.SelectObject(pImage);
    CRect rcClient;
    GetClientRect(&rcClient);
    pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dcMem, 0, 0, SRCCOPY);
    if (pOld) {
        dcMem.SelectObject(pOld);
    }
    dcMem.DeleteDC();
}

BOOL CSkinButton::OnEraseBkgnd(CDC*) {
    return FALSE;
}

void CSkinButton::OnMouseMove(UINT nFlags, CPoint point) {
    CButton::OnMouseMove(nFlags, point);
    // A pointer that arrives with the button already held belongs to some other press.
    if ((nFlags & MK_LBUTTON) && !m_bMouseOver) {
        return;
    }
    const CWnd* pActive = GetActiveWindow();
    const CWnd* pOwner = GetOwner();
    if (::GetCapture() != m_hWnd && pActive && pOwner) {
        m_bMouseOver = TRUE;
        SetCapture();
        Invalidate(TRUE);
        return;
    }
    ClientToScreen(&point);
    const CWnd* pUnder = WindowFromPoint(point);
    if (!pUnder || pUnder->m_hWnd == m_hWnd) {
        return;
    }
    if (m_bMouseOver) {
        m_bMouseOver = FALSE;
        Invalidate(TRUE);
    }
    if (!(nFlags & MK_LBUTTON)) {
        ::ReleaseCapture();
    }
}

void CSkinButton::OnCaptureChanged(CWnd* pWnd) {
    if (m_bMouseOver) {
        ::ReleaseCapture();
        Invalidate(TRUE);
    }
    CButton::OnCaptureChanged(pWnd);
}

void CSkinButton::OnKillFocus(CWnd* pNewWnd) {
    CButton::OnKillFocus(pNewWnd);
    m_bMouseOver = FALSE;
    Invalidate(TRUE);
}

void CSkinButton::OnLButtonDown(UINT nFlags, CPoint point) {
    CWnd* pOwner = GetOwner();
    if (pOwner && ::GetActiveWindow() != pOwner->m_hWnd) {
        pOwner->SetActiveWindow();
    }
    CButton::OnLButtonDown(nFlags, point);
}

void CSkinButton::OnLButtonUp(UINT nFlags, CPoint point) {
    CButton::OnLButtonUp(nFlags, point);
}

void CSkinButton::InitToolTip() {
    if (m_toolTip.m_hWnd) {
        return;
    }
    m_toolTip.Create(this);
    m_toolTip.Activate(FALSE);
}

void CSkinButton::SetTooltipText(CString* pText, BOOL bActivate) {
    if (!pText) {
        return;
    }
    InitToolTip();
    if (m_toolTip.GetToolCount() == 0) {
        CRect rcTool;
        GetClientRect(&rcTool);
        m_toolTip.AddTool(this, *pText, &rcTool, SKIN_BUTTON_TOOL_ID);
    }
    m_toolTip.UpdateTipText(*pText, this, SKIN_BUTTON_TOOL_ID);
    m_toolTip.Activate(bActivate);
}

BOOL CSkinButton::PreTranslateMessage(MSG* pMsg) {
    InitToolTip();
    m_toolTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}
