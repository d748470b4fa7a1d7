// One programming session with the device's MCU: its profile, the flash image loaded from the
// S-record file, and the stages that verify, checksum, erase and program the flash through
// the ISP library. Stages return 1 for success and 0 for failure.
#pragma once

#include "McuProfile.h"
#include "platform/afx/CString.h"
#include "platform/kernel32.h"

using IspBlockFunction = int(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, BYTE*, BYTE*,
                                      DWORD*);

class CIspSession {
public:
    static constexpr DWORD kImageSize = 0x10000;
    static constexpr DWORD kPageMapSize = 1024;
    static constexpr DWORD kPageSize = 64;

    CIspSession();
    virtual ~CIspSession();

    int EnterIcpMode();
    int InitMcuProfile(BOOL extendedFlash1);
    int OnBConnect();
    int OpenIsp();
    int OnBLoadFile();
    int OnBVerify();
    int VerifyAll(BYTE* image, BYTE* pageMap);
    int OnBCheckSum();
    int OnBMasserase();
    int EraseAll();
    int OnBProgram();
    // 1 when every block of every region that takes part was programmed, 0 otherwise.
    int ProgramAll(BYTE* image, BYTE* pageMap);

    int m_nProgress;
    DWORD m_ispStatus;
    CString m_strFilePath;
    HWND m_hNotifyWnd;
    BYTE m_image[kImageSize];
    BYTE m_pageMap[kPageMapSize];
    BOOL m_bConfigured;
    BOOL m_bLoaded;
    McuProfile m_profile;

private:
    // A region of the memory map that takes part in the walks, with its own block size.
    struct Region {
        DWORD first;
        DWORD last;
        DWORD blockSize;
        BOOL bProgress; // the vector area moves no progress bar
    };
    static constexpr int kMaxRegions = 3;

    // Flash #1, then VECTOR and Flash #2 when the profile enables them: the order of every walk.
    int TakingPart(Region* pRegions) const;
    // 1 when every block of every region that takes part succeeded, 0 at the first that failed.
    int WalkRegions(IspBlockFunction blockFunction, BYTE* image, BYTE* pageMap, int progressBase);
    int WalkRegion(const Region& region, IspBlockFunction blockFunction, BYTE* image, BYTE* pageMap,
                   int progressBase);
    void ReportProgress(DWORD block, const Region& region, int progressBase);
};

// The two's complement of the 16-bit sum of image[first..last]; addresses past the 64 KiB
// image are not read.
WORD ImageChecksum(const BYTE* image, DWORD first, DWORD last);
