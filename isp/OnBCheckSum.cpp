#include "isp/ImageChecksum.h"
#include "isp/IspSession.h"

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
