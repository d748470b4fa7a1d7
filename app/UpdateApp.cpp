#include "UpdateApp.h"

#include "UpdateDlg.h"

// ON_COMMAND takes members of the map's own class; this entry names the base's handler.
// clang-format off
BEGIN_MESSAGE_MAP(CUpdateApp, CWinApp)
{WM_COMMAND, CN_COMMAND, ID_HELP, ID_HELP, &afx::VoidVoid<&CWinApp::OnHelp>},
END_MESSAGE_MAP()
    // clang-format on

    CUpdateApp::CUpdateApp() = default;

CUpdateApp theApp;

// FALSE: the program ends when the main window's modal run does; there is no message pump.
BOOL CUpdateApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    CUpdateDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The window object dies with this function; the framework must not find it afterwards,
    // which it would when the window could not even be created.
    m_pMainWnd = nullptr;
    return FALSE;
}
