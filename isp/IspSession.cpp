#include "IspSession.h"

#include "IcpControlCode.h"
#include "IspLibrary.h"
#include "S19Reader.h"
#include "UpdateProgressMessage.h"

#include <cstring>

namespace {

const int kOpenAttempts = 30;
const DWORD kOpenInterval = 2000;
const int kVerifyProgressBase = 0;
const int kProgramProgressBase = 50;

HANDLE OpenDriverWithRetries() {
    HANDLE hDevice = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kOpenAttempts && hDevice == INVALID_HANDLE_VALUE; ++attempt) {
        Sleep(kOpenInterval);
        hDevice = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    }
    return hDevice;
}

} // namespace

CIspSession::CIspSession()
    : m_nProgress(0), m_ispStatus(0), m_hNotifyWnd(nullptr), m_bConfigured(FALSE),
      m_bLoaded(FALSE) {
    std::memset(m_image, 0xFF, sizeof(m_image));
    std::memset(m_pageMap, 0, sizeof(m_pageMap));
}

CIspSession::~CIspSession() = default;

int CIspSession::EnterIcpMode() {
    const HANDLE hDevice = OpenDriverWithRetries();
    if (hDevice == INVALID_HANDLE_VALUE) {
        CString strError;
        strError.Format("ERROR: Cannot create device, error=%08lx\n",
                        static_cast<unsigned long>(GetLastError()));
        return 0;
    }
    BYTE bEnter = 0x01;
    DWORD dwReturned = 0;
    const BOOL bOk =
        DeviceIoControl(hDevice, IOCTL_ENTER_ICP, &bEnter, 1, nullptr, 0, &dwReturned, nullptr);
    // Taken before CloseHandle, which may change it.
    const DWORD dwError = GetLastError();
    CloseHandle(hDevice);
    if (bOk) {
        return 1;
    }
    CString strError;
    strError.Format("ERROR: IOCTL_ENTER_ICP failed, error=%x\n", static_cast<unsigned>(dwError));
    return 0;
}

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

int CIspSession::OpenIsp() {
    const DWORD startAddress = m_profile.dualFlash ? m_profile.flash2First : m_profile.flash1First;
    const int result =
        IspOpen(m_profile.ispParam1, m_profile.ispParam2, m_profile.ispParam3, startAddress,
                m_profile.flash1Last, m_profile.vectorFirst, m_profile.ispParam7,
                m_profile.ispParam8, m_profile.ispParam9, m_profile.wholeErase);
    return result == 0 ? 0 : 1;
}

int CIspSession::OnBLoadFile() {
    if (m_strFilePath.IsEmpty()) {
        return 0;
    }
    std::memset(m_image, 0xFF, sizeof(m_image));
    std::memset(m_pageMap, 0x00, sizeof(m_pageMap));
    if (ReadS19File(m_strFilePath, m_image, m_pageMap) != 0) {
        return 0;
    }
    m_bLoaded = TRUE;
    return 1;
}

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

int CIspSession::VerifyAll(BYTE* image, BYTE* pageMap) {
    OutputDebugStringA("VerifyAll begin");
    return WalkRegions(IspVerifyBlock, image, pageMap, kVerifyProgressBase);
}

// The text is made and dropped: nothing shows it and nothing compares the value.
int CIspSession::OnBCheckSum() {
    if (!m_bLoaded) {
        return 0;
    }
    const WORD checksum = ImageChecksum(m_image, m_profile.checksumFirst, m_profile.checksumLast);
    CString strCheckSum;
    strCheckSum.Format("CheckSum is: %04x", static_cast<unsigned>(checksum));
    return 1;
}

WORD ImageChecksum(const BYTE* image, DWORD first, DWORD last) {
    const DWORD end = last < CIspSession::kImageSize ? last : CIspSession::kImageSize - 1;
    DWORD sum = 0;
    for (DWORD address = first; address <= end; ++address) {
        sum = (sum + image[address]) % 65536;
    }
    return static_cast<WORD>((65536 - sum) % 65536);
}

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

// Every region after the first opens the library again, whose answer is not looked at.
int CIspSession::EraseAll() {
    if (OpenIsp() != 0) {
        return 2;
    }
    Region regions[kMaxRegions];
    const int nRegions = TakingPart(regions);
    for (int i = 0; i < nRegions; ++i) {
        if (i > 0) {
            OpenIsp();
        }
        const Region& r = regions[i];
        if (IspEraseRange(LOBYTE(r.first), HIBYTE(r.first), LOBYTE(r.last), HIBYTE(r.last),
                          r.blockSize, &m_ispStatus) != 0) {
            IspClose();
            return 1;
        }
    }
    IspClose();
    return 0;
}

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

int CIspSession::ProgramAll(BYTE* image, BYTE* pageMap) {
    OutputDebugStringA("ProgramAll begin");
    return WalkRegions(IspProgramBlock, image, pageMap, kProgramProgressBase);
}

int CIspSession::TakingPart(Region* pRegions) const {
    const McuProfile& p = m_profile;
    int nRegions = 0;
    pRegions[nRegions++] = Region{p.flash1First, p.flash1Last, p.flash1Block, TRUE};
    if (p.vectorEnabled) {
        pRegions[nRegions++] = Region{p.vectorFirst, p.vectorLast, p.vectorBlock, FALSE};
    }
    if (p.dualFlash && p.flash2Enabled) {
        pRegions[nRegions++] = Region{p.flash2First, p.flash2Last, p.flash2Block, TRUE};
    }
    return nRegions;
}

// A failing block ends the pass: the regions after it are not touched.
int CIspSession::WalkRegions(IspBlockFunction blockFunction, BYTE* image, BYTE* pageMap,
                             int progressBase) {
    Region regions[kMaxRegions];
    const int nRegions = TakingPart(regions);
    for (int i = 0; i < nRegions; ++i) {
        if (!WalkRegion(regions[i], blockFunction, image, pageMap, progressBase)) {
            return 0;
        }
    }
    return 1;
}

// A block size of 0 would never advance: such a region fails without a call. Every block call
// names Flash #1's block size, whichever region it slices.
int CIspSession::WalkRegion(const Region& region, IspBlockFunction blockFunction, BYTE* image,
                            BYTE* pageMap, int progressBase) {
    if (region.first > region.last) {
        return 1;
    }
    if (region.blockSize == 0) {
        return 0;
    }
    for (DWORD b = region.first;;) {
        const DWORD e =
            (region.last - b >= region.blockSize) ? b + region.blockSize - 1 : region.last;
        const DWORD n = e - b + 1;
        if (blockFunction(b, b >> 8, e, e >> 8, n, n >> 8, m_profile.flash1Block, image, pageMap,
                          &m_ispStatus) != 0) {
            return 0;
        }
        if (region.bProgress) {
            ReportProgress(b, region, progressBase);
        }
        if (e >= region.last) {
            return 1;
        }
        b = e + 1;
    }
}

// A region of one address (first == last) has no span to measure progress against: it
// sends no message rather than divide by zero.
void CIspSession::ReportProgress(DWORD block, const Region& region, int progressBase) {
    if (region.last == region.first) {
        return;
    }
    const DWORD span = region.last - region.first;
    m_nProgress = static_cast<int>(((block - region.first) * 100 / span) / 2) + progressBase;
    if (m_hNotifyWnd) {
        SendMessage(m_hNotifyWnd, WM_UPDATE_PROGRESS, static_cast<WPARAM>(m_nProgress), 0);
    }
}
