#include "platform/afx/CString.h"

#include "platform/kernel32.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

const char* OrEmpty(LPCTSTR text) {
    return text ? text : "";
}

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

CString::CString(LPCTSTR text) noexcept {
    if (text && IS_INTRESOURCE(text)) {
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(text)));
        return;
    }
    text_ = OrEmpty(text);
}

CString::CString(LPCTSTR text, int length) noexcept {
    if (text && length > 0) {
        text_.assign(text, static_cast<std::size_t>(length));
    }
}

CString::CString(TCHAR ch, int repeat) noexcept {
    if (repeat > 0) {
        text_.assign(static_cast<std::size_t>(repeat), ch);
    }
}

CString& CString::operator=(const CString& other) noexcept {
    text_ = other.text_;
    return *this;
}

CString& CString::operator=(LPCTSTR text) noexcept {
    text_ = OrEmpty(text);
    return *this;
}

CString& CString::operator=(TCHAR ch) noexcept {
    text_.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& other) noexcept {
    text_ += other.text_;
    return *this;
}

CString& CString::operator+=(LPCTSTR text) noexcept {
    text_ += OrEmpty(text);
    return *this;
}

CString& CString::operator+=(TCHAR ch) noexcept {
    text_ += ch;
    return *this;
}

TCHAR CString::GetAt(int index) const noexcept {
    return (index >= 0 && index < GetLength()) ? text_[static_cast<std::size_t>(index)] : '\0';
}

void CString::SetAt(int index, TCHAR ch) noexcept {
    if (index >= 0 && index < GetLength()) {
        text_[static_cast<std::size_t>(index)] = ch;
    }
}

LPTSTR CString::GetBuffer(int minLength) noexcept {
    if (minLength > GetLength()) {
        text_.resize(static_cast<std::size_t>(minLength));
    }
    return text_.data();
}

void CString::ReleaseBuffer(int newLength) noexcept {
    if (newLength < 0) {
        newLength = static_cast<int>(std::strlen(text_.c_str()));
    }
    text_.resize(static_cast<std::size_t>(std::min(newLength, GetLength())));
}

int CString::Find(TCHAR ch, int start) const noexcept {
    if (start < 0 || start >= GetLength()) {
        return -1;
    }
    const std::size_t at = text_.find(ch, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR sub, int start) const noexcept {
    if (!sub || start < 0 || start > GetLength()) {
        return -1;
    }
    const std::size_t at = text_.find(sub, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(TCHAR ch) const noexcept {
    const std::size_t at = text_.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const noexcept {
    return CString(text_.c_str(), Clamp(count, 0, GetLength()));
}

CString CString::Mid(int first) const noexcept {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const noexcept {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(text_.c_str() + first, count);
}

CString CString::Right(int count) const noexcept {
    count = Clamp(count, 0, GetLength());
    return CString(text_.c_str() + (GetLength() - count), count);
}

void CString::MakeUpper() noexcept {
    for (char& c : text_) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
}

void CString::MakeLower() noexcept {
    for (char& c : text_) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
}

void CString::TrimLeft() noexcept {
    text_.erase(text_.begin(), std::find_if_not(text_.begin(), text_.end(), IsSpace));
}

void CString::TrimRight() noexcept {
    text_.erase(std::find_if_not(text_.rbegin(), text_.rend(), IsSpace).base(), text_.end());
}

int CString::Compare(LPCTSTR text) const noexcept {
    const int result = std::strcmp(text_.c_str(), OrEmpty(text));
    return (result > 0) - (result < 0);
}

int CString::CompareNoCase(LPCTSTR text) const noexcept {
    CString a(*this);
    CString b(text);
    a.MakeLower();
    b.MakeLower();
    return a.Compare(b);
}

void CString::Format(LPCTSTR format, ...) noexcept {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

// A format the C library rejects leaves the string empty.
void CString::FormatV(LPCTSTR format, va_list args) noexcept {
    text_.clear();
    if (!format) {
        return;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        return;
    }
    text_.resize(static_cast<std::size_t>(length));
    std::vsnprintf(text_.data(), text_.size() + 1, format, args);
}

BOOL CString::LoadString(UINT id) noexcept {
    std::string buffer(256, '\0');
    for (;;) {
        const int length =
            ::LoadStringA(nullptr, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) {
            return FALSE;
        }
        // A full buffer may mean the string was cut: try again with more room.
        if (static_cast<std::size_t>(length) + 4 < buffer.size()) {
            text_.assign(buffer.data(), static_cast<std::size_t>(length));
            return TRUE;
        }
        buffer.resize(buffer.size() * 2);
    }
}

CString operator+(const CString& a, const CString& b) noexcept {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCTSTR b) noexcept {
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCTSTR a, const CString& b) noexcept {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, TCHAR b) noexcept {
    CString result(a);
    result += b;
    return result;
}

CString operator+(TCHAR a, const CString& b) noexcept {
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, const CString& b) noexcept {
    return a.Compare(b) == 0;
}
bool operator==(const CString& a, LPCTSTR b) noexcept {
    return a.Compare(b) == 0;
}
bool operator==(LPCTSTR a, const CString& b) noexcept {
    return b.Compare(a) == 0;
}
bool operator!=(const CString& a, const CString& b) noexcept {
    return !(a == b);
}
bool operator!=(const CString& a, LPCTSTR b) noexcept {
    return !(a == b);
}
bool operator!=(LPCTSTR a, const CString& b) noexcept {
    return !(a == b);
}
bool operator<(const CString& a, const CString& b) noexcept {
    return a.Compare(b) < 0;
}
