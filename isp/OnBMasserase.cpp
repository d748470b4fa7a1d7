#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

int CIspSession::OnBMasserase() {
    if (!m_bConfigured) {
        return 0;
    }
    OutputDebugStringA("OnBMasserase begin\n");
    m_nProgress = 0;
    if (!m_profile.wholeErase) {
        return EraseAll() == 0 ? 1 : 0;
    }
    if (OpenIsp() != 0) {
        return 0;
    }
    const int result = IspMassErase(0, 0, &m_ispStatus);
    IspClose();
    return result == 0 ? 1 : 0;
}
