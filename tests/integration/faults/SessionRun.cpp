#include "SessionRun.h"

#include "DriverChannel.h"
#include "IspSession.h"

namespace nerith::test {

namespace {

const DWORD kIcpSettleTime = 100;
const DWORD kConnectInterval = 1000;
const int kConnectAttempts = 30;
const HWND kMainWindow = reinterpret_cast<HWND>(0x5150);

int RunStages(CIspSession& session) {
    int (CIspSession::*const stages[])() = {&CIspSession::OnBLoadFile, &CIspSession::OnBVerify,
                                            &CIspSession::OnBCheckSum, &CIspSession::OnBMasserase,
                                            &CIspSession::OnBProgram};
    int passed = 0;
    for (auto stage : stages) {
        if (!(session.*stage)()) {
            break;
        }
        ++passed;
    }
    return passed;
}

} // namespace

SessionRun RunSessionUpdate(const std::string& imagePath) {
    SessionRun run;
    run.versionAnswered = QueryFirmwareVersion() != 0;
    if (!run.versionAnswered) {
        return run;
    }
    CIspSession session;
    session.m_strFilePath = imagePath.c_str();
    session.m_hNotifyWnd = kMainWindow;
    run.enterIcp = session.EnterIcpMode();
    Sleep(kIcpSettleTime);
    bool connected = false;
    while (!connected && run.connectAttempts < kConnectAttempts) {
        Sleep(kConnectInterval);
        ++run.connectAttempts;
        connected = session.OnBConnect() != 0;
    }
    if (connected) {
        run.stagesPassed = RunStages(session);
    }
    run.success = run.stagesPassed == 5;
    return run;
}

} // namespace nerith::test
