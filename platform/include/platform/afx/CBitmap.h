// MFC's bitmap object.
#pragma once

#include "platform/afx/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP hBitmap);

    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    int GetBitmap(BITMAP* pBitMap);
};
