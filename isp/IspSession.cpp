#include "isp/IspSession.h"

#include <cstring>

CIspSession::CIspSession()
    : m_nProgress(0), m_ispStatus(0), m_hNotifyWnd(nullptr), m_bConfigured(FALSE),
      m_bLoaded(FALSE) {
    std::memset(m_image, 0xFF, sizeof(m_image));
    std::memset(m_pageMap, 0, sizeof(m_pageMap));
}

CIspSession::~CIspSession() = default;
