#include "UpdateDlg.h"

#include <cstdio>
#include <cstring>

namespace {

// The carried S-record text, or NULL when the executable lacks it.
LPCVOID LockFirmwareImage(DWORD* pdwSize) {
    const HMODULE hModule = ::GetModuleHandleA(nullptr);
    const HRSRC hResInfo = ::FindResourceA(hModule, MAKEINTRESOURCE(IDR_FIRMWARE_S19), "S19");
    if (!hResInfo) {
        return nullptr;
    }
    *pdwSize = ::SizeofResource(hModule, hResInfo);
    const HGLOBAL hResData = ::LoadResource(hModule, hResInfo);
    if (!hResData || *pdwSize == 0) {
        return nullptr;
    }
    return ::LockResource(hResData);
}

// A TEMP too long for the buffer would otherwise be cut off and name some other folder.
BOOL FormatImagePath(char* pszPath, size_t cchPath) {
    char szTempDir[MAX_PATH];
    std::memset(szTempDir, 0, sizeof(szTempDir));
    const DWORD cchNeeded = ::ExpandEnvironmentStringsA("%TEMP%", szTempDir, MAX_PATH);
    if (cchNeeded == 0 || cchNeeded > MAX_PATH) {
        return FALSE;
    }
    const int cchWritten = std::snprintf(pszPath, cchPath, "%s\\temp.s19", szTempDir);
    return cchWritten > 0 && static_cast<size_t>(cchWritten) < cchPath;
}

} // namespace

BOOL CUpdateDlg::WriteImageFile() {
    // A path left from an earlier run, or a cut-off one, must never be deleted or loaded.
    std::memset(m_szImagePath, 0, sizeof(m_szImagePath));
    DWORD dwSize = 0;
    const LPCVOID pImage = LockFirmwareImage(&dwSize);
    if (!pImage) {
        return FALSE;
    }
    if (!FormatImagePath(m_szImagePath, sizeof(m_szImagePath))) {
        std::memset(m_szImagePath, 0, sizeof(m_szImagePath));
        return FALSE;
    }
    const HANDLE hFile = ::CreateFileA(m_szImagePath, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        AfxMessageBox("Couldn't create the file!", MB_OK, 0);
        return FALSE;
    }
    DWORD dwWritten = 0;
    const BOOL bWritten = ::WriteFile(hFile, pImage, dwSize, &dwWritten, nullptr);
    ::CloseHandle(hFile);
    if (!bWritten || dwWritten != dwSize) {
        ::DeleteFileA(m_szImagePath);
        return FALSE;
    }
    return TRUE;
}
