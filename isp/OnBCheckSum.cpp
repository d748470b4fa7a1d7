#include "isp/IspSession.h"

// The sum never reads past the image, whatever range the profile names.
int CIspSession::OnBCheckSum() {
    if (!m_bLoaded) {
        return 0;
    }
    const DWORD last =
        m_profile.checksumLast < kImageSize ? m_profile.checksumLast : kImageSize - 1;
    DWORD sum = 0;
    for (DWORD address = m_profile.checksumFirst; address <= last; ++address) {
        sum = (sum + m_image[address]) % 65536;
    }
    const DWORD checksum = (65536 - sum) % 65536;
    CString strCheckSum;
    strCheckSum.Format("CheckSum is: %04x", static_cast<unsigned>(checksum));
    return 1;
}
