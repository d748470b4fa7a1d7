// The few names of the Microsoft C runtime that the updater calls beyond standard C.
#pragma once

#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

// Splits a path into drive ("C:"), folder (up to and including the last '\' or '/'), file name
// and extension (from the last '.' of the name on). Any output may be NULL; each one is
// written as at most its _MAX_ size including the terminator, cut short if longer.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);

#include <cstdio>

// The runtime's fopen, which takes Windows path names: '\' and '/' both separate. Returns NULL
// with errno set when the name cannot be translated or opened.
extern "C" std::FILE* platform_fopen(const char* path, const char* mode);
#define fopen platform_fopen
