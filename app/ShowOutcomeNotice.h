// The notice that ends an update run, shared by the success and the failure outcome.
#pragma once

#include "platform/mfc.h"

// Puts the bar back to 0, shows the notice with the given skin over pParent and asks the
// program to end when the user closes it with OK.
void ShowOutcomeNotice(CProgressCtrl& progress, CWnd* pParent, LPCTSTR lpszSkinName);
