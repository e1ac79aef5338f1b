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

/* ---- Trimming, padding and justification ------------------------------ *
 * In place in the caller's buffer. Narrow text is in the ANSI code page and
 * never split inside a double-byte character where it matters; lengths and
 * widths count bytes (narrow) or UTF-16 units (wide). A blank is the space
 * (0x20) only. */

/* Cuts the trailing blanks. */
void OVPB_API str_trimA(char *text);
void OVPB_API str_trimW(WCHAR *text);
void OVPB_API strtrm(char *text);
/* Length of the first maximum characters without their trailing blanks. */
int OVPB_API strtrmlenA(const char *text, int maximum);
int OVPB_API strtrmlenW(const WCHAR *text, int maximum);

/* Removes the leading blanks. */
void OVPB_API str_trim_leftA(char *text);
void OVPB_API str_trim_leftW(WCHAR *text);
void OVPB_API strtrmlft(char *text);
/* First non-blank position within length; *remaining (if given) gets the
 * length left from there, 0 if all of it was blank. */
char *OVPB_API strtrmleftstartA(const char *text, unsigned int length, unsigned int *remaining);
WCHAR *OVPB_API strtrmleftstartW(const WCHAR *text, unsigned int length, unsigned int *remaining);

/* Removes all white space; returns the new length. */
int OVPB_API strtrmspc(char *text);
int OVPB_API wcstrmspc(WCHAR *text);
/* Keeps the runs of letters and digits and one separator between them;
 * returns the new length. */
int OVPB_API strtrmextra(char *text);
int OVPB_API wcstrmextra(WCHAR *text);
/* Removes every byte (unit) equal to removed. */
void OVPB_API str_rid_charA(char *text, char removed);
void OVPB_API str_rid_charW(WCHAR *text, WCHAR removed);
/* Removes the leading white space of the fields of a value typed into a
 * mask of dot-separated fields, and the value's trailing white space. */
void OVPB_API str_trim_mask(const char *mask, char *value);
void OVPB_API DBCSstr_trim_mask(const char *mask, char *value);

/* Pads with blanks to width bytes (the buffer holds width + 1). */
void OVPB_API str_pad(char *text, unsigned int width);
void OVPB_API str_padA(char *text, int width);
/* Writes count blanks and a terminator. */
void OVPB_API str_space(char *out, int count);
/* Right-justifies to width with blanks in front (the buffer holds width + 1). */
void OVPB_API str_justifyA(char *text, int width);
void OVPB_API str_justifyW(WCHAR *text, int width); /* also wcs_justify */

/* Copies at most maximum bytes (units) and a terminator; dest holds
 * maximum + 1. On double-byte systems only whole characters. */
char *OVPB_API lstrncpyA(char *dest, const char *source, int maximum);
WCHAR *OVPB_API lstrncpyW(WCHAR *dest, const WCHAR *source, unsigned int maximum);
/* Shortens to at most maximum bytes of whole characters; the new length. */
int OVPB_API _tcstrunc(char *text, unsigned int maximum);
/* Copies up to the first stop character; the number of bytes copied. */
int OVPB_API str_copy_till(char *dest, const char *source, int stop);
/* Puts prefix in front of text (the buffer holds both). */
void OVPB_API str_cat_frontA(char *text, const char *prefix);
void OVPB_API str_cat_frontW(WCHAR *text, const WCHAR *prefix);
/* The part of a path after its last backslash or colon, up to its first
 * dot (dest holds as many bytes as the path). */
void OVPB_API str_filename(char *dest, const char *path);

/* 1 when the text holds only blanks (strzero: blanks, zeros and dots)
 * within limit bytes (units), else 0; a negative limit (all bits set for
 * the wide forms) means no limit. */
int OVPB_API strblankA(const char *text, int limit);
int OVPB_API strblankW(const WCHAR *text, unsigned int limit);
int OVPB_API strzeroA(const char *text, int limit);
int OVPB_API strzeroW(const WCHAR *text, unsigned int limit);
/* 1 when every character is a digit (the empty text included), else 0. */
int OVPB_API strdigits(const char *text);

/* ---- Search and comparison -------------------------------------------- */

/* Finds pattern in text passing over blanks (0x20, 0xA0) in either; returns
 * the position just past the match and stores its start in *start (if
 * given), or returns null. strifind ignores case. */
char *OVPB_API strfind(const char *text, const char *pattern, char **start);
char *OVPB_API strifind(const char *text, const char *pattern, char **start);
/* 0 when a and b are equal up to where one ends and the other goes on with
 * a blank; else the difference of the first differing characters. */
int OVPB_API strtrmcmp(const char *a, const char *b);
/* 0 when the whole text matches the pattern of "*" and "?", ignoring case;
 * else nonzero. */
int OVPB_API wcstrcmp(const char *pattern, const char *text);

/* ---- Character-set conversion ----------------------------------------- *
 * Between the ANSI code page of the system and UTF-16, whatever runtime
 * locale the host has set. At most max wide characters (bytes) are stored,
 * the terminator only if there is room; a null destination asks for the
 * count the whole source needs. Return the count stored without the
 * terminator, or (size_t)-1 for an invalid sequence or a character the
 * code page cannot represent. */
size_t OVPB_API li_mbstowcs(WCHAR *dest, const char *source, size_t max);
size_t OVPB_API li_wcstombs(char *dest, const WCHAR *source, size_t max);

#ifdef __cplusplus
}
#endif

#endif /* OVPB32_H */
