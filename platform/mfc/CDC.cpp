#include "platform/afx/CDC.h"

#include "GdiHandleMaps.h"

#include <new>

namespace platform::mfc {

HandleMap<CDC>& DcMap() {
    thread_local HandleMap<CDC> map;
    return map;
}

template <> void HandleMap<CDC>::DeleteTemporaries() {
    for (auto& [handle, dc] : temporary_) {
        dc->m_hDC = nullptr;
        dc->m_hAttribDC = nullptr;
    }
    temporary_.clear();
}

} // namespace platform::mfc

using platform::mfc::DcMap;

CDC::~CDC() {
    if (m_hDC) {
        ::DeleteDC(Detach());
    }
}

BOOL CDC::Attach(HDC hDC) {
    if (!hDC || m_hDC) {
        return FALSE;
    }
    try {
        DcMap().SetPermanent(hDC, this);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_hDC = hDC;
    m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    if (h) {
        DcMap().RemovePermanent(h, this);
    }
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    return h;
}

CDC* CDC::FromHandle(HDC hDC) {
    if (!hDC) {
        return nullptr;
    }
    auto& map = DcMap();
    if (CDC* dc = map.FindPermanent(hDC)) {
        return dc;
    }
    if (CDC* dc = map.FindTemporary(hDC)) {
        return dc;
    }
    try {
        auto wrapper = std::make_unique<CDC>();
        wrapper->m_hDC = hDC;
        wrapper->m_hAttribDC = hDC;
        return map.AddTemporary(hDC, std::move(wrapper));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CDC::DeleteTempMap() {
    DcMap().DeleteTemporaries();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) {
        return FALSE;
    }
    return ::DeleteDC(Detach());
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    if (!pBitmap) {
        return nullptr;
    }
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    if (!pObject) {
        return nullptr;
    }
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    HGDIOBJ stock = ::GetStockObject(nIndex);
    return stock ? CGdiObject::FromHandle(::SelectObject(m_hDC, stock)) : nullptr;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                    dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, dwRop);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    HBRUSH brush = ::CreateSolidBrush(clr);
    if (brush) {
        ::FillRect(m_hDC, lpRect, brush);
        ::DeleteObject(brush);
    }
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
    SIZE size{};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}
