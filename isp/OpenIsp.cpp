#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

int CIspSession::OpenIsp() {
    const DWORD startAddress = m_profile.dualFlash ? m_profile.flash2First : m_profile.flash1First;
    const int result =
        IspOpen(m_profile.ispParam1, m_profile.ispParam2, m_profile.ispParam3, startAddress,
                m_profile.flash1Last, m_profile.vectorFirst, m_profile.ispParam7,
                m_profile.ispParam8, m_profile.ispParam9, m_profile.wholeErase);
    return result == 0 ? 0 : 1;
}
