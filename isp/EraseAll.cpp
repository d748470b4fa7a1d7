#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

namespace {

int EraseRegion(DWORD first, DWORD last, DWORD blockSize, DWORD* status) {
    return IspEraseRange(LOBYTE(first), HIBYTE(first), LOBYTE(last), HIBYTE(last), blockSize,
                         status);
}

} // namespace

int CIspSession::EraseAll() {
    const McuProfile& p = m_profile;
    if (OpenIsp() != 0) {
        return 2;
    }
    if (EraseRegion(p.flash1First, p.flash1Last, p.flash1Block, &m_ispStatus) != 0) {
        IspClose();
        return 1;
    }
    if (p.vectorEnabled) {
        OpenIsp();
        if (EraseRegion(p.vectorFirst, p.vectorLast, p.vectorBlock, &m_ispStatus) != 0) {
            IspClose();
            return 1;
        }
    }
    if (p.dualFlash && p.flash2Enabled) {
        OpenIsp();
        if (EraseRegion(p.flash2First, p.flash2Last, p.flash2Block, &m_ispStatus) != 0) {
            IspClose();
            return 1;
        }
    }
    IspClose();
    return 0;
}
