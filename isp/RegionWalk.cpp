#include "isp/IspSession.h"
#include "isp/UpdateProgressMessage.h"

// A region of one address (first == last) has no span to measure progress against: it
// sends no message rather than divide by zero.
void CIspSession::ReportProgress(DWORD block, DWORD first, DWORD last, int progressBase) {
    if (last == first) {
        return;
    }
    m_nProgress = static_cast<int>(((block - first) * 100 / (last - first)) / 2) + progressBase;
    if (m_hNotifyWnd) {
        SendMessage(m_hNotifyWnd, WM_UPDATE_PROGRESS, static_cast<WPARAM>(m_nProgress), 0);
    }
}

// A block size of 0 would never advance: such a region fails without a call.
int CIspSession::WalkRegion(DWORD first, DWORD last, DWORD blockSize,
                            IspBlockFunction blockFunction, BYTE* image, BYTE* pageMap,
                            int progressBase, BOOL bProgress) {
    if (first > last) {
        return 1;
    }
    if (blockSize == 0) {
        return 0;
    }
    for (DWORD b = first;;) {
        const DWORD e = (last - b >= blockSize) ? b + blockSize - 1 : last;
        const DWORD n = e - b + 1;
        if (blockFunction(b, b >> 8, e, e >> 8, n, n >> 8, m_profile.flash1Block, image, pageMap,
                          &m_ispStatus) != 0) {
            return 0;
        }
        if (bProgress) {
            ReportProgress(b, first, last, progressBase);
        }
        if (e >= last) {
            return 1;
        }
        b = e + 1;
    }
}
