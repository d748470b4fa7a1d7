#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

int CIspSession::VerifyAll(BYTE* image, BYTE* pageMap) {
    OutputDebugStringA("VerifyAll begin");
    int result = 1;
    const McuProfile& p = m_profile;
    if (!WalkRegion(p.flash1First, p.flash1Last, p.flash1Block, IspVerifyBlock, image, pageMap, 0,
                    TRUE)) {
        result = 0;
    }
    if (p.vectorEnabled && result == 1 &&
        !WalkRegion(p.vectorFirst, p.vectorLast, p.vectorBlock, IspVerifyBlock, image, pageMap, 0,
                    FALSE)) {
        result = 0;
    }
    if (p.dualFlash && p.flash2Enabled && result == 1 &&
        !WalkRegion(p.flash2First, p.flash2Last, p.flash2Block, IspVerifyBlock, image, pageMap, 0,
                    TRUE)) {
        return 0;
    }
    return result;
}
