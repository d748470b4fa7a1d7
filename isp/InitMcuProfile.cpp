#include "isp/IspSession.h"

int CIspSession::InitMcuProfile(BOOL extendedFlash1) {
    m_profile.dualFlash = FALSE;
    m_profile.wholeErase = FALSE;
    m_profile.vectorEnabled = FALSE;
    m_profile.flash2Enabled = FALSE;
    m_profile.mcuName = "908JR32";
    m_profile.mcuCode = "1L30P";
    m_profile.ispParam7 = 0xFF06;
    m_profile.flash1First = 0x7000;
    m_profile.flash1Last = extendedFlash1 ? 0xEFFF : 0xEDFF;
    m_profile.flash1Block = 512;
    m_profile.vectorFirst = 0xFFDE;
    m_profile.vectorLast = 0xFFFF;
    m_profile.vectorBlock = 512;
    m_profile.checksumFirst = 0xF600;
    m_profile.checksumLast = 0xF7FD;
    m_profile.ispParam3 = 0x1800;
    m_profile.ispParam2 = 0x40;
    m_profile.ispParam1 = 0x40;
    m_profile.ispParam8 = 1;
    m_profile.ispParam9 = 4;
    return 0;
}
