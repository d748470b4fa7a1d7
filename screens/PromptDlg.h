// The skinned two-button question shown before an older image is written: OK goes on,
// Cancel ends the program. The question itself is drawn into the prompt's pictures.
#pragma once

#include "SkinButton.h"
#include "platform/mfc.h"
#include "resource.h"

class CPromptDlg : public CDialog {
public:
    explicit CPromptDlg(CWnd* pParent = nullptr);
    ~CPromptDlg() override;

    enum { IDD = IDD_SKIN_POPUP };

protected:
    CBitmap m_bmpShape;
    CBitmap m_bmpBackground;
    HRGN m_hRgn;
    CSkinButton m_btnOK;
    CSkinButton m_btnCancel;

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
