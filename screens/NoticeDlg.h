// The skinned one-button notice: success, failure or already up to date, chosen by the skin
// name set before DoModal. The message itself is drawn into the notice's pictures.
#pragma once

#include "SkinButton.h"
#include "platform/mfc.h"
#include "resource.h"

class CNoticeDlg : public CDialog {
public:
    explicit CNoticeDlg(CWnd* pParent = nullptr);
    ~CNoticeDlg() override;

    enum { IDD = IDD_SKIN_POPUP };

    CString m_strSkinName;

protected:
    CBitmap m_bmpShape;
    CBitmap m_bmpBackground;
    HRGN m_hRgn;
    CSkinButton m_btnOK;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    int SetupSkin();
};
