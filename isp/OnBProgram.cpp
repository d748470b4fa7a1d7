#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

// A block that failed leaves the flash partly written, which must end in the failure notice:
// the stage succeeds only when every block was programmed.
int CIspSession::OnBProgram() {
    if (!m_bConfigured || !m_bLoaded) {
        return 0;
    }
    m_nProgress = 0;
    if (OpenIsp() != 0) {
        IspClose();
        return 0;
    }
    const int programmed = ProgramAll(m_image, m_pageMap);
    IspClose();
    return programmed ? 1 : 0;
}
