#include "isp/IspSession.h"
#include "isp/ReadS19File.h"

#include <cstring>

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
