// MFC's dialog: a window built from a dialog template, run modally by DoModal.
#pragma once

#include "platform/afx/CDataExchange.h"
#include "platform/afx/CWnd.h"

#include <cstddef>

class CDialog : public CWnd {
    DECLARE_MESSAGE_MAP()

public:
    // For a dialog run from a template in memory, given by InitModalIndirect.
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // IDOK, IDCANCEL or what EndDialog was given; -1 when the dialog could not be created
    // (or a quit message ended the loop before any result was set).
    virtual int DoModal();
    // The template stays the caller's and must outlive DoModal.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL CheckAutoCenter() override;

protected:
    LPCTSTR m_lpszTemplateName;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    // The owner DoModal gives the dialog: the parent's top-level window, or the main window.
    HWND PreModal();

private:
    // The template with the bytes it may be read to: the resource's, or the header's alone for
    // one in memory, whose rest the dialog manager checks.
    const void* FindTemplate(std::size_t& size) const;

    DWORD m_templateStyle = 0;
    short m_templateX = 0;
    short m_templateY = 0;
};
