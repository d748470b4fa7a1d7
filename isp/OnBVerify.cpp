#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

// The verify runs before the erase, against the firmware being replaced: its outcome does not
// stop the update.
int CIspSession::OnBVerify() {
    if (!m_bConfigured || !m_bLoaded) {
        return 0;
    }
    m_nProgress = 0;
    if (OpenIsp() != 0) {
        OutputDebugStringA("OnBVerify Fail to open device !");
        IspClose();
        return 1;
    }
    VerifyAll(m_image, m_pageMap);
    IspClose();
    return 1;
}
