// The updater's real main window, run in-process on the headless screen, with what a test
// needs to see of it: the progress messages it handles, the runs its OK button started and
// finished, and which popup is up.
#pragma once

#include "UpdateDlg.h"

#include <functional>
#include <vector>

class CObservedUpdateDlg : public CUpdateDlg {
public:
    HWND OkButton() const { return m_btnOK.m_hWnd; }
    int RunsStarted() const { return m_nRunsStarted; }
    int RunsEnded() const { return m_nRunsEnded; }
    // Clicks the OK button on the screen, as the user starts an update.
    void ClickOk() const;

    std::vector<WPARAM> m_progressSeen;
    // Called after each progress message has been handled; empty for none.
    std::function<void(WPARAM)> m_onProgress;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT OnProgressSeen(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    int m_nRunsStarted = 0;
    int m_nRunsEnded = 0;
};

enum class Popup { None, SuccessNotice, FailureNotice, UpToDateNotice, Prompt };

const char* PopupName(Popup popup);
// The updater's popup that is up (active and visible), with its window in *phWnd.
Popup ShownPopup(HWND* phWnd);
