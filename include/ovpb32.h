/*
 * Ovpb32: the common utility library of the suite.
 *
 * Plain C functions over plain values and caller-owned buffers. Wide text is
 * UTF-16 on every platform (WCHAR). Each output buffer must have the room its
 * function documents; nothing is allocated for the caller unless stated.
 */
#ifndef OVPB32_H
#define OVPB32_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define OVPB_API __cdecl
#else
#include "ovpb32_wintypes.h"
#define OVPB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Assertions -------------------------------------------------------- */

/* 1 when "OVAssert" in cv.ver is greater than 0, else 0. */
int OVPB_API OVAssertOn(void);

/* When condition is 0 and assertions are on, shows the printf-formatted
 * message (at most 1023 characters) in an "OV Error" box. */
void OVPB_API OVAssert_(int condition, const char *format, ...);

#ifdef __cplusplus
}
#endif

#endif /* OVPB32_H */
