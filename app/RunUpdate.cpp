#include "DriverChannel.h"
#include "FwImageVersion.h"
#include "IspSession.h"
#include "UpdateDlg.h"

namespace {

const DWORD kIcpSettleTime = 100;
const DWORD kConnectInterval = 1000;
const int kConnectAttempts = 30;

// The MCU needs a while after the switch to programming mode before it answers.
BOOL ConnectToMcu(CIspSession& session) {
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        ::Sleep(kConnectInterval);
        if (session.OnBConnect()) {
            return TRUE;
        }
    }
    return FALSE;
}

// The first stage that fails ends the chain; the later ones must not touch the flash.
BOOL RunStages(CIspSession& session) {
    return session.OnBLoadFile() && session.OnBVerify() && session.OnBCheckSum() &&
           session.OnBMasserase() && session.OnBProgram();
}

} // namespace

void CUpdateDlg::RunUpdate() {
    const UINT uDeviceVersion = QueryFirmwareVersion();
    if (uDeviceVersion == 0) {
        ShowFailureNotice();
        return;
    }
    if (CheckFWversion(uDeviceVersion, FW_IMAGE_VERSION) != 1) {
        return;
    }
    m_progress.SendMessage(PBM_SETPOS, 0);
    m_progress.UpdateWindow();
    // A missing or truncated file must never reach the device: stop before programming mode.
    if (!WriteImageFile()) {
        ShowFailureNotice();
        return;
    }
    CIspSession session;
    session.m_strFilePath = m_szImagePath;
    session.m_hNotifyWnd = m_hWnd;
    session.EnterIcpMode();
    ::Sleep(kIcpSettleTime);
    m_progress.UpdateWindow();
    if (ConnectToMcu(session) && RunStages(session)) {
        ShowSuccessNotice();
    } else {
        ShowFailureNotice();
    }
    ::DeleteFileA(m_szImagePath);
}
