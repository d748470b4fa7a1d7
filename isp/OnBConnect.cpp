#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

int CIspSession::OnBConnect() {
    m_bConfigured = TRUE;
    if (InitMcuProfile(FALSE) != 0) {
        return 0;
    }
    if (OpenIsp() != 0) {
        IspClose();
        return 0;
    }
    m_nProgress = 0;
    IspClose();
    return 1;
}
