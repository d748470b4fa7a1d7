// MFC's string of ANSI characters. Indexes and lengths are ints, as in MFC; every index is
// checked, so an out-of-range position reads as '\0' or changes nothing rather than touching
// memory outside the string. Pass a CString to printf-style functions as (LPCTSTR)str.
// Running out of memory ends the program, as MFC's unhandled memory exception would.
#pragma once

#include "platform/wintypes.h"

#include <cstdarg>
#include <string>

class CString {
public:
    CString() noexcept = default;
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    // NULL gives an empty string; a MAKEINTRESOURCE value loads that string resource.
    CString(LPCTSTR text) noexcept;
    CString(LPCTSTR text, int length) noexcept;
    CString(TCHAR ch, int repeat = 1) noexcept;

    CString& operator=(const CString& other) noexcept;
    CString& operator=(CString&& other) noexcept = default;
    CString& operator=(LPCTSTR text) noexcept;
    CString& operator=(TCHAR ch) noexcept;
    CString& operator+=(const CString& other) noexcept;
    CString& operator+=(LPCTSTR text) noexcept;
    CString& operator+=(TCHAR ch) noexcept;

    operator LPCTSTR() const noexcept { return text_.c_str(); }
    int GetLength() const noexcept { return static_cast<int>(text_.size()); }
    BOOL IsEmpty() const noexcept { return text_.empty() ? TRUE : FALSE; }
    void Empty() noexcept { text_.clear(); }

    TCHAR GetAt(int index) const noexcept;
    TCHAR operator[](int index) const noexcept { return GetAt(index); }
    void SetAt(int index, TCHAR ch) noexcept;

    // Room for at least `minLength` characters plus the terminator; ReleaseBuffer(-1) then
    // takes the length up to the first '\0'.
    LPTSTR GetBuffer(int minLength) noexcept;
    LPTSTR GetBuffer() noexcept { return GetBuffer(0); }
    void ReleaseBuffer(int newLength = -1) noexcept;

    int Find(TCHAR ch, int start = 0) const noexcept;
    int Find(LPCTSTR sub, int start = 0) const noexcept;
    int ReverseFind(TCHAR ch) const noexcept;
    CString Left(int count) const noexcept;
    CString Mid(int first) const noexcept;
    CString Mid(int first, int count) const noexcept;
    CString Right(int count) const noexcept;

    void MakeUpper() noexcept;
    void MakeLower() noexcept;
    void TrimLeft() noexcept;
    void TrimRight() noexcept;

    int Compare(LPCTSTR text) const noexcept;
    int CompareNoCase(LPCTSTR text) const noexcept;

    void Format(LPCTSTR format, ...) noexcept;
    void FormatV(LPCTSTR format, va_list args) noexcept;
    // The string resource `id` of the executable; FALSE (and the string unchanged) when absent.
    BOOL LoadString(UINT id) noexcept;

private:
    std::string text_;
};

CString operator+(const CString& a, const CString& b) noexcept;
CString operator+(const CString& a, LPCTSTR b) noexcept;
CString operator+(LPCTSTR a, const CString& b) noexcept;
CString operator+(const CString& a, TCHAR b) noexcept;
CString operator+(TCHAR a, const CString& b) noexcept;

bool operator==(const CString& a, const CString& b) noexcept;
bool operator==(const CString& a, LPCTSTR b) noexcept;
bool operator==(LPCTSTR a, const CString& b) noexcept;
bool operator!=(const CString& a, const CString& b) noexcept;
bool operator!=(const CString& a, LPCTSTR b) noexcept;
bool operator!=(LPCTSTR a, const CString& b) noexcept;
bool operator<(const CString& a, const CString& b) noexcept;
