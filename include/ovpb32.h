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
#include <shellapi.h>
#define OVPB_API __cdecl
#else
#include "ovpb32_wintypes.h"
#define OVPB_API
#endif

#include <stdarg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Diagnostic log --------------------------------------------------------- */

/* Writes text to a log file: appended when sizeLimit is -1, else kept as a
 * ring of sizeLimit bytes with a position header and an end marker. 1 when
 * written, 0 when not. */
int OVPB_API DoWriteLog(const char *path, const char *text, int sizeLimit);

/* Sets the general log's path (at most 259 characters; longer is ignored);
 * an empty path makes the next entry read it from cv.ver again. */
void OVPB_API SetLogPath(const char *path);

/* Entries of the general log: written when level <= "GeneralLogging" and the
 * component passes "LoggingCategory". A component "@name" writes the
 * message alone. */
void OVPB_API OVWriteLogA(const char *component, int level, const char *format, ...);
void OVPB_API OVWriteLogW(const WCHAR *component, int level, const WCHAR *format, ...);
/* As above, without the level test. */
void OVPB_API OVWriteLogArgsA(const char *component, int level, const char *format, va_list args);
void OVPB_API OVWriteLogArgsW(const WCHAR *component, int level, const WCHAR *format, va_list args);
/* An entry into the given file (the general log when path is null or
 * empty), without the level test. */
void OVPB_API OVWriteLogEx(const char *path, const char *component, int level, const char *format, ...);
/* 1 when "GeneralLogging" is greater than 0. */
int OVPB_API OVActiveLog(void);
/* Changes the calling thread's indentation of its entries (0 to 12 blanks). */
void OVPB_API OVIndentLog(int delta);

/* ---- Logged delete and move --------------------------------------------------- */

/* With "LogFileDeletes" on, each of these first appends a line to
 * Orvanta\OVDeleteFileEventLog.log in the local application-data folder;
 * the operation's result is returned unchanged. */
void OVPB_API WriteDeleteLog(const char *file, const char *action, const char *origin, int originNumber);
BOOL OVPB_API OVDeleteFile(const char *file, const char *origin, int originNumber);
BOOL OVPB_API OVMoveFile(const char *existing, const char *newName, const char *origin, int originNumber);
BOOL OVPB_API OVMoveFileEx(const char *existing, const char *newName, DWORD flags, const char *origin,
                           int originNumber);
int OVPB_API OVSHFileOperation(SHFILEOPSTRUCTA *operation, const char *origin, int originNumber);

/* ---- Assertions -------------------------------------------------------- */

/* 1 when "OVAssert" in cv.ver is greater than 0, else 0. */
int OVPB_API OVAssertOn(void);

/* When condition is 0 and assertions are on, shows the printf-formatted
 * message (at most 1023 characters) in an "OV Error" box. */
void OVPB_API OVAssert_(int condition, const char *format, ...);

/* ---- Base64 ------------------------------------------------------------ */
/* Every decoder accepts both alphabets (standard "+/", file-name "+-", and
 * "_" as 62). Wide decoders classify each unit by its low byte. */

/* Writes value as 11 digits of the file-name alphabet and a terminator (12). */
void OVPB_API Encode64asBase64A(char *out, ULONGLONG value);
void OVPB_API Encode64asBase64W(WCHAR *out, ULONGLONG value);

/* The value of up to 11 digits; "=" is passed over, any other non-digit ends. */
ULONGLONG OVPB_API DecodeBase64as64A(const char *text);
ULONGLONG OVPB_API DecodeBase64as64W(const WCHAR *text);

/* Six characters per little-endian 32-bit word, least significant digit
 * first; 2, 3 or 5 for a final 1, 2 or 3 bytes. Returns the characters
 * written, without terminator. */
int OVPB_API EncodeAsBase64(const BYTE *source, char *out, DWORD length);

/* Reads length characters back into bytes (room: 2/3 of length); returns the
 * bytes written. Ends at the first non-digit. */
int OVPB_API DecodeAsBase64(const char *source, BYTE *out, int length);

/* MIME Base64 with "=" padding and no line breaks, 4 * ceil(length / 3)
 * characters, no terminator. The A form returns the characters written, the
 * W form the bytes written (two per character). */
int OVPB_API EncodeAsMimeBase64A(const BYTE *source, char *out, int length);
int OVPB_API EncodeAsMimeBase64W(const BYTE *source, WCHAR *out, int length);

/* Decodes length characters; a non-digit restarts the group of four, "=" is
 * passed over. Returns the bytes decoded; room: 3 bytes per 4 characters of
 * length, rounded up. */
int OVPB_API DecodeAsMimeBase64A(const char *source, BYTE *out, int length);
int OVPB_API DecodeAsMimeBase64W(const WCHAR *source, BYTE *out, int length);

/* 1 if the text begins with 22 digits ("=" not counted), else 0. */
int OVPB_API IsValidBase64(const char *text);

/* ---- GUID texts -------------------------------------------------------- */

/* A new GUID as 22 Base64 characters (room 23); 0 and "" if none was made. */
int OVPB_API UniqueIdentifier(char *out);

/* 22 characters of the file-name alphabet and a terminator (room 23), or ""
 * for the null GUID. */
void OVPB_API GUIDtoBase64A(const GUID *guid, char *out);
void OVPB_API GUIDtoBase64W(const GUID *guid, WCHAR *out);

/* The GUID of a Base64 text, without validation (see IsValidBase64). */
void OVPB_API Base64toGUIDA(const char *text, GUID *guid);
void OVPB_API Base64toGUIDW(const WCHAR *text, GUID *guid);

/* A 16-byte MD5 digest as a 22-character Base64 text (room 23) and back. */
void OVPB_API MD5toBase64(const BYTE *digest, char *out);
void OVPB_API Base64toMD5(const char *text, BYTE *digest);

/* 26 upper-case Base32 characters and a terminator (room 27), and back
 * without validation (see IsValidBase32). */
void OVPB_API GUIDtoBase32(const GUID *guid, char *out);
void OVPB_API Base32toGUID(const char *text, GUID *guid);

/* 1 if the first 26 characters are all Base32 digits, else 0. */
int OVPB_API IsValidBase32(const char *text);

/* 20 Base85 characters and a terminator (room 21), and back: 1 on success,
 * 0 for a character outside the alphabet or a group above 2^32 - 1. */
void OVPB_API GUIDtoBase85(const GUID *guid, char *out);
int OVPB_API Base85toGUID(const char *text, GUID *guid);

/* out = a XOR b, byte by byte; out may be a or b. */
void OVPB_API XorGuids(const GUID *a, const GUID *b, GUID *out);

/* Two bytes 33..255 (no terminator) ordered as their indices, 0 to 49728;
 * HierarchyToIndex returns -1 if either byte is below 33. */
void OVPB_API IndexToHierarchy(char *out, WORD index);
int OVPB_API HierarchyToIndex(const char *text);

/* ---- MD5 and name-based GUIDs ------------------------------------------ */

/* The GUID of a name's MD5 digest, marked version 3 and variant 10 in raw
 * byte order; the W form hashes UTF-16LE. 1, or 0 for a null pointer. */
int OVPB_API GenerateNameBasedGuidA(const char *name, GUID *guid);
int OVPB_API GenerateNameBasedGuidW(const WCHAR *name, GUID *guid);

/* ---- Text scrambling --------------------------------------------------- */

/* Scrambles text into dest (size bytes, -1 for unlimited: then n + 2), ending
 * with the marker "~" when it fits. EncryptPasswordEx is the same function. */
void OVPB_API Encrypt(const char *text, char *dest, int size);
void OVPB_API EncryptPasswordEx(const char *text, char *dest, int size);
void OVPB_API Encrypt2(const char *text, char *dest);

/* Unscrambles up to the marker into dest (size bytes, -1 for unlimited: then
 * n + 1). */
void OVPB_API Decrypt(const char *scrambled, char *dest, int size);
void OVPB_API Decrypt2(const char *scrambled, char *dest);

/* ---- Keys and hashes --------------------------------------------------- */

/* The text's bucket, 0 to 406. */
WORD OVPB_API ovhash(const char *text);

/* count random characters from "!" to "~" and a terminator (room count + 1). */
void OVPB_API RandomKey(char *out, int count);
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
