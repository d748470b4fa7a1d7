// Resource ids of the updater, shared by its code and its resource script.
#pragma once

// Controls that no code addresses; not every platform's headers define it.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_UPDATE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_SKIN_POPUP 160
#define IDR_FIRMWARE_S19 164
#define IDC_PROGRESS1 1001
