// The push button of every skinned screen: owner-drawn from four images cut out of the
// screen's whole-window pictures, with hover tracking through the mouse capture and a tooltip.
#pragma once

#include "platform/mfc.h"

class CSkinButton : public CButton {
public:
    CSkinButton();
    ~CSkinButton() override;

    void SetStateBitmaps(RECT rect, CBitmap* pNormal, CBitmap* pHover, CBitmap* pPressed,
                         CBitmap* pDisabled);
    void SetPressed(BOOL bPressed);
    void SetTooltipText(CString* pText, BOOL bActivate);
    void InitToolTip();

protected:
    CToolTipCtrl m_toolTip;
    BOOL m_bPressed;
    BOOL m_bMouseOver;
    CBitmap m_bmpNormal;
    CBitmap m_bmpHover;
    CBitmap m_bmpPressed;
    CBitmap m_bmpDisabled;

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    // The image DrawItem shows for the owner-draw item state.
    CBitmap* ImageFor(UINT nItemState);
};
