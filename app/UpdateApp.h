// The application object: runs the main window modally and ends the program when it closes.
#pragma once

#include "platform/mfc.h"

class CUpdateApp : public CWinApp {
public:
    CUpdateApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CUpdateApp theApp;
