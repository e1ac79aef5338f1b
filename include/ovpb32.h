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
#include <io.h>
#include <objidl.h>
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

/* ---- Crash dump --------------------------------------------------------- */

/* While "GenerateMiniDump" in cv.ver has a value, writes a dump of this
 * process to c:\orvanta_<UTC yyyymmddhhmmss>.dmp: all memory when fullMemory
 * is nonzero, else stacks, handles and memory they point to; comment (may be
 * null) is stored as a comment stream. Failures are silent. */
void OVPB_API OvSaveMiniDump(const char *comment, BOOL fullMemory);

/* ---- Resource files ---------------------------------------------------- */

/* Opens the resource file (path at most 259 characters): 0 when one is open
 * afterwards (a second call keeps the first file), -1 when it cannot be. */
int OVPB_API InitResMan(const char *path);
/* A stream of its own over one resource, found by name (case and trailing
 * blanks ignored, 8 characters) and type (case ignored, 4 characters); null
 * when no file is open or there is no such resource. Release with closeRes. */
IStream *OVPB_API openRes(const char *name, const char *type);
/* As _lread: the bytes read, 0 for a null handle or a failed read. */
UINT OVPB_API _lreadRes(IStream *resource, void *buffer, UINT count);
/* As _llseek (origin 0 start, 1 current, 2 end): the new position, -1 on failure. */
LONG OVPB_API lseekRes(IStream *resource, LONG offset, int origin);
/* Releases a resource handle; always 0. */
int OVPB_API closeRes(IStream *resource);
/* Closes the resource file; open handles stay usable. */
void OVPB_API CloseResMan(void);
/* Sets buffer to "" and returns it. */
char *OVPB_API GetPatchInformation(char *buffer);
/* Return value unchanged (also exported as GetPointerEntry,
 * RemovePointerEntry and ResManFail). */
DWORD OVPB_API AddPointerEntry(DWORD value);

/* ---- Post-message pointers --------------------------------------------- */

/* The cache takes block (from malloc or calloc) and returns its key. */
DWORD OVPB_API CachePostMessagePointer(void *block);
/* A zero-filled block of size bytes, cached; its key through key (may be
 * null), 0xFFFFFFFF and null when it cannot be allocated. */
void *OVPB_API AllocatePostMessagePointer(size_t size, DWORD *key);
/* The block of key, or null. */
void *OVPB_API GetPostMessagePointer(DWORD key);
/* Frees the blocks cached more than 10 seconds ago. */
void OVPB_API FlushPostMessagePointers(void);
/* Frees every block and the cache. */
void OVPB_API CleanUpPostMessagePointers(void);

/* ---- Process services --------------------------------------------------- */

/* ShellExecute, with the verb "open" (exactly) passed on only when the
 * file's type has an open command, else null (the type's default verb). */
HINSTANCE OVPB_API OVShellExecuteA(HWND window, const char *verb, const char *file, const char *parameters,
                                   const char *directory, int show);
HINSTANCE OVPB_API OVShellExecuteW(HWND window, const WCHAR *verb, const WCHAR *file, const WCHAR *parameters,
                                   const WCHAR *directory, int show);
/* The id of the process, 0 when it cannot be had. */
DWORD OVPB_API OVGetProcessId(HANDLE process);
/* Years since 1900 of "YEAR" in section "TAX" of taxyear.ini beside the
 * library (default 2015), read once. */
int OVPB_API GetTaxYear(void);
/* The CRC-32 of the computer's name and, when not 0, the session id's 4 bytes. */
DWORD OVPB_API GetSessionUniqueIdentifier(void);

/* ---- Wait cursor -------------------------------------------------------- */

/* On the main thread: nested; the first WaitOn shows the wait cursor, the
 * matching last WaitOff brings back the cursor from before. */
void OVPB_API WaitOn(void);
void OVPB_API WaitOff(void);
/* Ends all nesting at once. */
void OVPB_API WaitCleanup(void);
/* Shows the wait cursor again on any thread; always 1. */
BOOL OVPB_API WaitFunction(void);
/* The nesting depth. */
int OVPB_API IsWaitOn(void);
/* Does nothing. */
void OVPB_API WriteRcfg(void);

/* ---- Colours and Macintosh text --------------------------------------- */

/* Draws bitmap at (x, y) of dc with the raster operation; the result of
 * deleting the temporary memory device context. */
BOOL OVPB_API DrawBitMap(HDC dc, HBITMAP bitmap, short x, short y, DWORD rasterOperation);
/* The average of the window text and window colours, as near as dc (the
 * screen's for null) shows it. */
COLORREF OVPB_API ColorGrayText(HDC dc);
/* "red green blue" (each atoi'd, low 8 bits) as a palette-relative colour. */
COLORREF OVPB_API StringToColour(const char *text);
/* Writes "red green blue" (buffer of at least 12); the characters written. */
int OVPB_API ColourToString(char *buffer, COLORREF colour);
/* Windows accented letters (0xC0-0xFF) to the Macintosh set, length bytes in place. */
void OVPB_API WinToMacBuf(char *buffer, UINT length);
/* Macintosh bytes 0x80-0xFF to Windows, length bytes. */
void OVPB_API MacToWinBuf(const char *source, char *destination, UINT length);
/* The string forms: convert up to the terminator, write one, return its address. */
char *OVPB_API WinToMacStr(const char *source, char *destination);
char *OVPB_API MacToWinStr(const char *source, char *destination);

/* ---- Paths ------------------------------------------------------------- */
/* Path buffers hold MAX_PATH (260) characters unless stated. Narrow text is in
 * the process's ANSI code page. "X:" alone names drive X's current directory. */

/* Nonzero when the current directory became path. */
int OVPB_API chng_dir(const char *path);
/* Always 0; out (260) receives the current directory of drive (1 = A; 0 = the
 * current drive). The process's current directory is left as it was. */
int OVPB_API curr_path(int drive, char *out);
/* The current drive (1 = A). */
int OVPB_API default_drive(void);
/* 0 when drive (1 = A) became the current drive, else -1. */
int OVPB_API select_drive(int drive);
/* 0 when the one directory path was created, else -1 (no parents are made). */
int OVPB_API make_dir(const char *path);
/* 0 when the empty directory path was removed, else -1. */
int OVPB_API remove_dir(const char *path);
/* out = dir, a backslash unless dir ends in one, name, a dot unless ext
 * starts with one, ext. Any input may be null; out is cut at 260. */
void OVPB_API MakePathA(char *out, const char *dir, const char *name, const char *ext);
void OVPB_API MakePathW(WCHAR *out, const WCHAR *dir, const WCHAR *name, const WCHAR *ext);
/* Splits path into drive and directory (with its separator), name, and
 * extension without its dot. Any output may be null; without ext_out, or for
 * a lone dot, the extension stays with the name. The wide directory output
 * needs 2051 characters and the name 513. */
void OVPB_API SplitPathA(const char *path, char *dir_out, char *name_out, char *ext_out);
void OVPB_API SplitPathW(const WCHAR *path, WCHAR *dir_out, WCHAR *name_out, WCHAR *ext_out);
/* 1 when one trailing backslash was removed, else 0. */
int OVPB_API removeslsh(char *path);
/* 1 when a backslash was appended (not to "", to "X:" or after a backslash);
 * the buffer needs two more characters. needslshA is the same function. */
int OVPB_API needslsh(char *path);
int OVPB_API needslshA(char *path);
int OVPB_API needslshW(WCHAR *path);
/* As needslsh, but "X:" becomes "X:\". */
int OVPB_API forceslsh(char *path);
/* Cuts trailing blanks and ensures a trailing backslash in place; 0 when path
 * names an existing directory (or is empty), else -1. */
int OVPB_API chk_path(char *path);

/* ---- File existence and hooks ------------------------------------------ */

/* Host hooks, null to remove. A file-exists hook's nonzero answer counts as
 * existing without asking the disk; an alternate-path hook writes another
 * path into out and answers nonzero; the stream-from-file hook receives two
 * values the library passes through unread. */
typedef int (OVPB_API *FileExistsFunction)(const char *path);
typedef int (OVPB_API *AlternatePathFunction)(const WCHAR *path, WCHAR *out);
typedef int (OVPB_API *StreamFromFileFunction)(void *value1, void *value2);
void OVPB_API SetFileExistsFunction(FileExistsFunction hook);
void OVPB_API SetAlternatePathFunction(AlternatePathFunction hook);
void OVPB_API SetStreamFromFileFunction(StreamFromFileFunction hook);
/* 1 when the stream-from-file hook is set and answers nonzero, else 0. */
int OVPB_API stream_from_file(void *value1, void *value2);
/* 1 when the alternate-path hook filled out; else 0 and path is copied to out. */
int OVPB_API alternate_path(const WCHAR *path, WCHAR *out);

/* 1 when a search finds the name on disk (a directory counts; a trailing
 * backslash or a root does not), else 0. No hook is asked. */
int OVPB_API file_exist_actuala(const char *path);
int OVPB_API file_exist_actualw(const WCHAR *path);
/* 1 when the file-exists hook vouches for path, else the disk's answer. */
int OVPB_API file_exist(const char *path);
int OVPB_API file_existw(const WCHAR *path);
/* The disk's answer from a worker thread, 0 when none came within 5 s. */
int OVPB_API file_exist_actual_with_timeout(const char *path);
int OVPB_API file_exist_with_timeout(const char *path);
/* 0 when the file is absent or can be opened for reading and writing without
 * sharing, else the Windows error code (32: another program holds it). */
int OVPB_API file_test_exclusive(const char *path);

/* A file time in UTC, to the second. */
typedef struct OVFILEDATE {
    INT year;
    INT month;
    INT day;
    INT hour;
    INT minute;
    INT second;
} OVFILEDATE;
/* 1 and the non-null records filled when the file is found, else 0 and
 * them zeroed. */
int OVPB_API file_date(const char *path, OVFILEDATE *created, OVFILEDATE *accessed, OVFILEDATE *written);

/* 1 exists, 2 does not (also for null or ""). */
int OVPB_API OVFileExists(const char *path);
/* 1 exists; 2 missing in an existing (or no) directory; 0 the directory
 * cannot be searched. */
int OVPB_API OVFileDirectoryExists(const char *path);
/* As OVFileDirectoryExists, with 3 for an existing directory. */
int OVPB_API NewFileExistsEx(const char *path);
/* CreateFile, with paths of 260 characters or more in their long-path form. */
HANDLE OVPB_API OVCreateFile(const char *path, DWORD access, DWORD share_mode, void *security,
                             DWORD disposition, DWORD flags_and_attributes, HANDLE template_file);
HANDLE OVPB_API OVCreateFileW(const WCHAR *path, DWORD access, DWORD share_mode, void *security,
                              DWORD disposition, DWORD flags_and_attributes, HANDLE template_file);

/* ---- Long paths, attributes and handles -------------------------------- */

/* (Attributes OR set) AND NOT clear; nonzero on success, 0 when the
 * attributes cannot be read or written. */
BOOL OVPB_API ChangeFileAttributes(const char *path, DWORD set, DWORD clear);
BOOL OVPB_API ChangeFileAttributesW(const WCHAR *path, DWORD set, DWORD clear);
/* The attributes read through an open handle where the plain query may be
 * refused ("GetFileAttributesOld" in cv.ver switches back to the plain
 * query); 0xFFFFFFFF when they cannot be read. */
DWORD OVPB_API OVGetFileAttributes(const WCHAR *path);
/* out (room for in) = in without leading and trailing blanks, then without
 * trailing periods and spaces. */
void OVPB_API RemoveTrailingSpacesAndPeriods(const char *in, char *out);
/* 1 when a component of path other than "." and ".." ends in a period. */
int OVPB_API DoesAnyFolderHaveTrailingPeriods(const char *path);
/* A second handle to the same open file, rewound (the first shares the
 * position); INVALID_HANDLE_VALUE on failure. */
HANDLE OVPB_API OVDuplFileHandle(HANDLE file);

/* ---- Byte-level file copy --------------------------------------------- */

/* Replaces dest with a copy of source's bytes, never leaving dest half
 * written: the copy goes into a temporary "<GUID text>.blcpy" beside dest,
 * the old dest is parked under a second such name, the copy is renamed into
 * place and the old content deleted. 1 on success; -1 on failure, with dest
 * as before and an entry (component "ByteLevelFileCopy", level 1) in the
 * general log. Paths of 260 bytes or more, and a dest whose drive and
 * directory are 236 characters or more, fail at once. */
int OVPB_API ByteLevelFileCopy(const char *source, const char *dest);

/* ---- Directory search, line reading, sorted records -------------------- */

/* A search that skips hidden and system entries, and directories unless
 * with_directories is nonzero. file_find_first gives the search handle or -1;
 * file_find_next 0 or -1. The caller closes the handle with _findclose. */
INT_PTR OVPB_API file_find_first(const char *pattern, struct _finddata64i32_t *found);
int OVPB_API file_find_next(INT_PTR search, struct _finddata64i32_t *found);
INT_PTR OVPB_API file_find_first_ex(const char *pattern, struct _finddata64i32_t *found, int with_directories);
int OVPB_API file_find_next_ex(INT_PTR search, struct _finddata64i32_t *found, int with_directories);
#ifndef _WIN32
/* Ends a search of file_find_first(_ex), as the Windows runtime's _findclose
 * does there: 0, or -1 for a handle that is not an open search. */
int OVPB_API _findclose(INT_PTR search);
#endif
/* An HFILE is what the platform's programs have: on Windows _lopen's handle,
 * on Linux an open file descriptor (from open(2)). ReadLine1 and bsearchfile
 * read through it and leave its file offset where they stop, so read(2) and
 * lseek(2) (_lread, _llseek) carry on from there. */
/* The next line of the file (ended by CR, LF, CR LF or LF CR) into out of
 * size bytes, cut to fit; its length, or -1 at the end or for size <= 0; the
 * file is left just after the line end. */
int OVPB_API ReadLine1(HFILE file, char *out, int size);
/* Binary search of the records of record_size bytes between the offsets start
 * and end, sorted by their leading bytes, for key (compared on at most 25
 * bytes); the record's index, the file left just after its key, or -1. */
int OVPB_API bsearchfile(HFILE file, const char *key, int key_length, int record_size, DWORD start, int end);
int OVPB_API bsearchstream(IStream *stream, const char *key, int key_length, int record_size, DWORD start,
                           int end);

/* ---- Numbers and money ------------------------------------------------ */

struct InternationalSettings;

/* Number text ([-]digits.digits) to display text with decimals (-1: the
 * record's currency digits, -2: its number digits; a negative count
 * otherwise writes none), rounded half away from zero. A thousands
 * separator (null or "": no grouping) groups by three, or, when the
 * record's grouping is not 3, as the user's locale does through the
 * platform (then the text is trimmed and terminated, "" and 0 when the
 * platform refuses it). A null decimal separator is the record's. Returns
 * the length; the text is terminated only on the platform's path or when
 * rounding adds a digit. The output holds the input's length, a separator
 * for every three digits, the decimals and 3 bytes more. */
int OVPB_API FormatGeneralNumberEx(char *out, const char *number, int decimals, char *thousandSeparator,
                                   char *decimalSeparator, struct InternationalSettings *settings);
/* With the global record; FormatAnyNumber with its separators (grouped
 * when group is not 0); FormatNumber with the currency digits or 0 (its
 * third argument is not used); FormatDecimal grouped and terminated. */
int OVPB_API FormatGeneralNumber(char *out, const char *number, int decimals, char *thousandSeparator,
                                 char *decimalSeparator);
int OVPB_API FormatAnyNumber(char *out, const char *number, int decimals, BOOL group);
int OVPB_API FormatNumber(char *out, const char *number, int unused, BOOL currencyDigits, BOOL group);
int OVPB_API FormatDecimal(char *out, const char *number, int decimals);
/* The user's currency (number) format: separators read into the given
 * buffers ("" when the read fails), the currency symbol "". */
void OVPB_API GetCurrentPrefFmt(CURRENCYFMTA *format, char *symbol, char *decimalSeparator, int decimalSize,
                                char *thousandSeparator, int thousandSize);
void OVPB_API GetNumberPrefFmt(NUMBERFMTA *format, char *decimalSeparator, int decimalSize,
                               char *thousandSeparator, int thousandSize, BOOL withGrouping);
/* Display text to a double: the record's decimal separator is the point, a
 * '.' ends the number; 0.0 for more than 255 bytes. */
double OVPB_API OVStr2Dbl(const char *text);

/* Display text and the database form ([-]digits.decimals, no leading
 * zeros) both ways: money with the record's currency digits (the database
 * keeps 2, or more with "RegionalDigits"), numbers with the decimals given.
 * The output holds the input's length, the decimals and 3 bytes more. */
void OVPB_API MoneyToDB(char *out, const char *text);
void OVPB_API DBToMoney(char *out, const char *text);
void OVPB_API NumberToDB(char *out, const char *text, int decimals);
void OVPB_API DBToNumber(char *out, const char *text, int decimals);
/* 1 when the text after leading spaces and minus signs holds only digits,
 * spaces and the user's monetary separators, else 0; the others are listed
 * as "\"a\", \"b\"" (3 bytes for the first, 5 for each further one). */
int OVPB_API isvalidmoney(const char *text, char *list);

/* Money as doubles: amounts within 0.000001 are equal. dcmp compares
 * *first - *second (a null pointer counts as 0.0), money_test the value:
 * 0 when equal, 1 when above, else -1 (also for NaN). */
int OVPB_API dcmp(const double *first, const double *second);
int OVPB_API money_test(const double *value);
/* Truncated toward zero; 0x80000000 outside the 32-bit range and for NaN. */
int OVPB_API dint(const double *value);
/* Flips the sign bit in place (also money_neg). */
void OVPB_API dneg(double *value);
/* *first -= *second. */
void OVPB_API money_sub(double *first, const double *second);
/* A 6-byte money field (sign in bit 7 of byte 0, significant byte count
 * in bits 0-2, 40-bit cents in bytes 1-5): unused bytes are cleared in
 * place; +0.0 with the field untouched for a count above 5. */
void OVPB_API money_accpac(unsigned char *field, double *amount);
/* cents * 0.01. */
void OVPB_API money_bedford(LONG cents, double *amount);
/* Always 1 (also PointerEntriesEmpty). */
int OVPB_API ismoney(void);
/* 1 when the text, after leading spaces and minus signs, is at most 10
 * digits up to its end or a space, else 0. */
int OVPB_API islong(const char *text);
/* Copies source with its terminator; "" for a null source. */
void OVPB_API getbuf(const char *source, char *dest);
/* Copies count bytes from source to dest. */
void OVPB_API mov_buf(const void *source, int count, void *dest);
void OVPB_API xchg_word(WORD *first, WORD *second);
/* The 1-based position of the first 0x01 among the first 257 bytes, or 0. */
int OVPB_API scanlnth(const char *buffer);
/* ---- Network names ----------------------------------------------------- */

/* out = the UNC path through the drive letter whose connection covers the
 * most of it (\\srv\data\a.txt as Z:\a.txt), or the path; out needs the
 * path's room. 0, out untouched, when the connections cannot be listed. */
int OVPB_API GetMinimalDriveMappingA(const char *path, char *out);
int OVPB_API GetMinimalDriveMappingW(const WCHAR *path, WCHAR *out);
int OVPB_API GetMinimalDriveMapping(const char *path, char *out);
/* unc_out = the path's universal name or the path; computer_out (16
 * characters) = this computer's name for a local path, else empty. With
 * "OVPathResolution" = "Map" in the environment, UNC paths come back through
 * drive letters instead. Each form gives its last answer again for the same
 * path (in any case). 0 only when remembered connections cannot be listed. */
int OVPB_API GetUniversalNameA(const char *path, char *unc_out, char *computer_out, DWORD computer_size);
int OVPB_API GetUniversalNameW(const WCHAR *path, WCHAR *unc_out, WCHAR *computer_out, DWORD computer_size);
int OVPB_API GetUniversalName(const char *path, char *unc_out, char *computer_out, DWORD computer_size);
/* 0 with the last IPv4 address of host (network byte order) in address;
 * 11001 when it has none; else the Winsock error. */
int OVPB_API GetIPAddrFromHostName(const char *host, DWORD *address);
/* 0 off, 1 on while a process named colligo.exe runs, 2 or more on. */
void OVPB_API SetSafeNameHandling(int mode);
/* Always 1. While handling is on, \\fs.dept\share... comes back with the
 * server's IPv4 address (safe) and \\10.1.2.3\share... with its host name,
 * a dot appended when it has none (persistable); else out = path. out needs
 * the path's room plus 256. */
int OVPB_API GetNetworkSafeNameA(const char *path, char *out);
int OVPB_API GetNetworkSafeNameW(const WCHAR *path, WCHAR *out);
int OVPB_API GetNetworkSafeName(const char *path, char *out);
int OVPB_API GetNetworkPersistableNameA(const char *path, char *out);
int OVPB_API GetNetworkPersistableNameW(const WCHAR *path, WCHAR *out);
int OVPB_API GetNetworkPersistableName(const char *path, char *out);

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

/* ---- Day numbers and date formats ------------------------------------- *
 * A day number counts days from 1 March 1900 (day 0). Formatted dates need
 * 255 bytes; patterns and masks 100. Language ids 0, 0 mean the user's
 * locale. Text is in the ANSI code page. */
/* The day number of the date, 0 for an invalid one (also before 1900). */
void OVPB_API DateToJulian(int *dayNumber, int day, int month, int year);
/* The calendar date of any day number from -693960 (1 March of year 0). */
void OVPB_API JulianToDate(int dayNumber, int *day, int *month, int *year);
/* The long date (without a leading weekday) and the short date. */
void OVPB_API OVGetDateFormat(int dayNumber, char *text);
void OVPB_API OVGetDateFormatEx(int dayNumber, char *text, int primaryLanguage, int subLanguage);
void OVPB_API OVGetShortDateFormat(int dayNumber, char *text);
void OVPB_API OVGetShortDateFormatEx(int dayNumber, char *text, int primaryLanguage, int subLanguage);
/* The short date with two-digit day and month; for -2 that pattern, for
 * another negative number its display mask (dd/mm/aaaa). */
void OVPB_API OVGetShortDatePrefFormat(int dayNumber, char *text);
/* Masks for an edit field: 0x01 per digit with doubled kept twice, and
 * 9 per digit (N per month-name letter). */
void OVPB_API OVGetShortDatePrefMask(char *text, char doubled);
void OVPB_API OVGetShortDateEditMask(char *text, char doubled);

/* ---- Date-time values ------------------------------------------------- *
 * Days from 30 December 1899 with the time as the fraction; -657434.0 is
 * the null date-time. Texts are "yyyymmddhhmmss" or "yyyymmdd" (room 15). */
void OVPB_API DateTimeToStringA(double value, char *text, BOOL dateOnly);
void OVPB_API DateTimeToStringW(double value, WCHAR *text, BOOL dateOnly);
double OVPB_API StringToDateTimeA(const char *text, BOOL dateOnly);
double OVPB_API StringToDateTimeW(const WCHAR *text, BOOL dateOnly);
/* Shift by the process's time-zone offset, taken at first use. */
double OVPB_API ToGlobalTime(double localTime);
double OVPB_API ToLocalTime(double globalTime);
/* Now in UTC, and a file time (UTC), to the second. */
double OVPB_API GetCurrentGlobalTime(void);
double OVPB_API FileTimeToDateTime(const FILETIME *fileTime);

/* ---- Character-set conversion ----------------------------------------- *
 * Between the ANSI code page of the system and UTF-16, whatever runtime
 * locale the host has set. At most max wide characters (bytes) are stored,
 * the terminator only if there is room; a null destination asks for the
 * count the whole source needs. Return the count stored without the
 * terminator, or (size_t)-1 for an invalid sequence or a character the
 * code page cannot represent. */
size_t OVPB_API li_mbstowcs(WCHAR *dest, const char *source, size_t max);
size_t OVPB_API li_wcstombs(char *dest, const WCHAR *source, size_t max);

/* ---- International settings ------------------------------------------- */

/* The user's regional style in one record: text fields are zero-terminated
 * in the process's ANSI code page, numbers signed 32-bit. */
typedef struct InternationalSettings {
    char terms[22];              /* the profile's "terms" of section "Orvanta" */
    int countryCode;             /* LOCALE_ICOUNTRY */
    int dateOrder;               /* 0 month-day-year, 1 day-month-year, 2 year-month-day */
    int clock24;                 /* 1 for a 24-hour clock */
    int timeLeadingZero;
    int currencyPosition;        /* positive-currency mode 0 to 3 */
    int currencyDigits;
    int negativeMoneySign;       /* 0 when negative money is put in parentheses */
    int leadingZero;
    int numberDigits;
    int measurement;             /* 0 metric, 1 U.S. */
    char morning[10];
    char afternoon[10];
    char currencySymbol[13];
    char thousandsSeparator[2];  /* the monetary separators */
    char decimalSeparator[2];
    char dateSeparator[2];
    char timeSeparator[2];
    char listSeparator[2];
    char shortDate[12];
    char longDate[26];
    char charsetName[67];        /* of the process's code page */
    int negativeNumberOrder;     /* negative-number mode 0 to 4 */
    unsigned int grouping;       /* as ConvertGroupPatternToNumber gives it */
} InternationalSettings;

#ifdef __cplusplus
static_assert(sizeof(InternationalSettings) == 220, "InternationalSettings is 220 bytes on every build");
#else
_Static_assert(sizeof(InternationalSettings) == 220, "InternationalSettings is 220 bytes on every build");
#endif

/* Fills the record from the user's locale (defaults for what it lacks),
 * copies it into the global record and sets up the default formats, whose
 * pointers lead into the global record. */
void OVPB_API InitInternational(InternationalSettings *settings);
/* The global record: zeros until the first InitInternational. */
InternationalSettings *OVPB_API GetGlobalInternational(void);
/* Copies of the default formats; nothing for a null argument. */
void OVPB_API GetDefaultCurrencyFormat(CURRENCYFMTA *format);
void OVPB_API GetDefaultNumberFormat(NUMBERFMTA *format);
/* "3;0" gives 3, "3;2;0" 32, "3" 30, "3;2" 320. */
unsigned int OVPB_API ConvertGroupPatternToNumber(const char *pattern);

/* The "Applocale" switch of cv.ver; not 0 puts the interface in the system
 * locale (0x0800), else it follows the user's locale. */
DWORD OVPB_API UseApplocaleMode(void);
LCID OVPB_API GetAppropriateLCID(void);
/* The font character set of the interface locale's ANSI code page, 0 when
 * unknown. */
BYTE OVPB_API GetUserFontCharset(void);

/* A locale's name ("en-US") in at most size bytes; 1, or 0 when the
 * platform offers no name for it. */
int OVPB_API LocaleIDToLocaleName(LCID locale, char *name, int size);
int OVPB_API LanguageCodeToLocaleName(WORD language, char *name, int size);
/* The character-set name of a code page (-1: the process's), room for 67
 * characters; always 1. */
int OVPB_API GetCharSetFromCodePage(char *name, int codePage);
/* The ANSI code page of a font character set, or 0. */
UINT OVPB_API GetCodePageFromCharSet(BYTE charset);
/* The code page of a character-set name (any case), or 0. */
int OVPB_API GetCodePageFromCharSetString(const char *name);

#ifdef __cplusplus
}

#include <string>

/* ---- The one C++ export ------------------------------------------------ */

/* The long-path form of path ("\\?\" or "\\?\UNC" prefixed) when it has
 * 260 characters or more, else path itself. std::wstring on Windows,
 * std::u16string elsewhere. */
std::basic_string<WCHAR> OVPB_API MakeLongPathStub(const WCHAR *path);
#endif

#endif /* OVPB32_H */
