#include "isp/IspLibrary.h"
#include "isp/IspSession.h"

int CIspSession::ProgramAll(BYTE* image, BYTE* pageMap) {
    OutputDebugStringA("ProgramAll begin");
    int flag = 1;
    const McuProfile& p = m_profile;
    if (!WalkRegion(p.flash1First, p.flash1Last, p.flash1Block, IspProgramBlock, image, pageMap, 50,
                    TRUE)) {
        flag = 0;
    }
    if (p.vectorEnabled && flag &&
        !WalkRegion(p.vectorFirst, p.vectorLast, p.vectorBlock, IspProgramBlock, image, pageMap, 50,
                    FALSE)) {
        flag = 0;
    }
    if (p.dualFlash && p.flash2Enabled && flag &&
        !WalkRegion(p.flash2First, p.flash2Last, p.flash2Block, IspProgramBlock, image, pageMap, 50,
                    TRUE)) {
        flag = 0;
    }
    return flag;
}
