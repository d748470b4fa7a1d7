// The updater's main window: a skinned dialog with a progress bar and two skinned buttons, OK
// running the whole update and Cancel ending the program. Its skin set-up (OnCreate, SetupSkin,
// OnLButtonDown) lives with the other screens in screens/UpdateDlgSkin.cpp, the version check
// and the outcome notices in UpdateDlgOutcome.cpp; all of it builds into nerith_app.
#pragma once

#include "SkinButton.h"
#include "platform/mfc.h"
#include "resource.h"

class CUpdateDlg : public CDialog {
public:
    explicit CUpdateDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_UPDATE_DIALOG };

protected:
    char m_szImagePath[MAX_PATH];
    CProgressCtrl m_progress;
    CBitmap m_bmpShape;
    CBitmap m_bmpBackground;
    HRGN m_hRgn;
    CSkinButton m_btnOK;
    CSkinButton m_btnCancel;
    HICON m_hIcon;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnDestroy();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnUpdateProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int SetupSkin();
    void AddAboutItem();
    void SetupProgressBar();

    void RunUpdate();
    // TRUE only when the whole image reached the file named by m_szImagePath.
    BOOL WriteImageFile();
    int CheckFWversion(UINT uDeviceVersion, UINT uImageVersion);
    void ShowSuccessNotice();
    void ShowFailureNotice();
};
