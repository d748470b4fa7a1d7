#include "platform/afx/CBitmap.h"

#include "platform/afx/CDC.h"

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) {
    CGdiObject* object = CGdiObject::FromHandle(hBitmap);
    return dynamic_cast<CBitmap*>(object);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount,
                           const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) {
    return ::GetObjectA(m_hObject, sizeof(BITMAP), pBitMap);
}
