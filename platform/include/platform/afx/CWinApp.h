// The application object. The program defines exactly one, as a global; the framework's
// WinMain calls its InitInstance and, when that returns FALSE, ends the program with
// ExitInstance's code.
#pragma once

#include "platform/afx/CCmdTarget.h"
#include "platform/afx/CWnd.h"

#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
    DECLARE_MESSAGE_MAP()

public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    CWnd* m_pMainWnd = nullptr;
    LPCTSTR m_pszAppName = nullptr; // the executable's name when none was given
    HINSTANCE m_hInstance = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // The message loop of an application whose InitInstance returned TRUE.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // One message: FALSE when it was the quit message.
    BOOL PumpMessage();

    afx_msg void OnHelp();

protected:
    // Windows 95 era 3-D controls: every control here is drawn in 3-D already.
    BOOL Enable3dControlsStatic() { return TRUE; }

private:
    CString m_defaultName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// OLE control containment: the updater hosts no OLE controls, so there is nothing to enable.
void AfxEnableControlContainer();
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The framework's message pump step with PreTranslateMessage, for loops that run outside
// an application object (tests) as well as inside one.
BOOL AfxPumpMessage();
void AfxPostQuitMessage(int nExitCode);
