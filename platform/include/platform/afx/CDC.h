// MFC's device context object. A CDC that holds a DC deletes it when destroyed; wrappers
// from FromHandle (temporaries, see CGdiObject.h) never do.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CGdiObject.h"
#include "platform/afx/CSize.h"
#include "platform/gdi32.h"

class CDC {
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL Attach(HDC hDC);
    HDC Detach();
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();

    // A memory DC compatible with pDC's device (the screen when pDC is NULL).
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // The previously selected object, through FromHandle; NULL when refused.
    CBitmap* SelectObject(CBitmap* pBitmap);
    CGdiObject* SelectObject(CGdiObject* pObject);
    CGdiObject* SelectStockObject(int nIndex);

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop);
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
        return ::TextOutA(m_hDC, x, y, lpszString, nCount);
    }
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
        return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
    }
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
};
