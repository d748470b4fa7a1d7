/* What korvel.sys asks of winekorvel.dll, its user-mode half in Wine's device host: one link
 * to nerith-korvel-relay per open handle. Plain C types, so that the driver (C, DDK headers)
 * and the DLL (C++, Win32 headers) share it. Errors are Win32 error codes. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#ifdef WINEKORVEL_BUILD
#define KORVEL_LINK_API __declspec(dllexport)
#else
#define KORVEL_LINK_API __declspec(dllimport)
#endif

/* Characters of the relay's token (32 random bytes in hex). */
#define KORVEL_TOKEN_LENGTH 64

typedef struct KorvelLink KorvelLink;

/* Connects to the relay on 127.0.0.1:port and shows the token; NULL with *error set when the
 * relay or nerith-devsim cannot be reached (ERROR_FILE_NOT_FOUND when nobody serves). */
KORVEL_LINK_API KorvelLink* KorvelLinkOpen(unsigned short port, const char* token,
                                           unsigned long* error);

/* One METHOD_BUFFERED request: `buffer` holds the input and takes the output. A handle that
 * nerith-devsim asks for is taken from process `callerPid`. */
KORVEL_LINK_API unsigned long KorvelLinkControl(KorvelLink* link, unsigned long callerPid,
                                                unsigned long code, void* buffer,
                                                unsigned long inLength, unsigned long outLength,
                                                unsigned long* returned);

KORVEL_LINK_API void KorvelLinkClose(KorvelLink* link);

#ifdef __cplusplus
}
#endif
