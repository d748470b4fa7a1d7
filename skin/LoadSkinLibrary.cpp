#include "SkinLoadSupport.h"

#include "platform/afx/CString.h"
#include "platform/crt.h"

HMODULE LoadSkinLibrary() {
    char szPath[MAX_PATH] = "";
    if (GetModuleFileNameA(nullptr, szPath, MAX_PATH) == 0) {
        return nullptr;
    }
    char szDrive[_MAX_DRIVE] = "";
    char szDir[_MAX_DIR] = "";
    _splitpath(szPath, szDrive, szDir, nullptr, nullptr);

    CString strFolder(szDrive);
    strFolder += szDir;
    CString strLibrary;
    strLibrary.Format("%sskins\\ridozuveza.dll", (LPCTSTR)strFolder);
    return LoadLibraryA(strLibrary);
}
