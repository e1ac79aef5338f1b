// Files, directories and their names, as the Windows file API gives them:
// handles with access, share mode and disposition, Windows error codes
// through GetLastError, the directory search with Windows wildcards,
// attributes and FILETIME times, the current directory and drive.
#pragma once

#include <stdint.h>

#include "platform/types.h"

namespace platform {

// ---- Handles ---------------------------------------------------------------

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
HANDLE CreateFileW(const WCHAR* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information);

// Pseudo-handle of the calling process, for DuplicateHandle.
HANDLE GetCurrentProcess();
// A second handle to the same open file, sharing its position.
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD access,
                     BOOL inheritable, DWORD options);

// ---- Names -----------------------------------------------------------------

BOOL MoveFileA(const char* existing, const char* replacement);
BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags);
BOOL DeleteFileA(const char* name);
BOOL DeleteFileW(const WCHAR* name);
BOOL CreateDirectoryA(const char* name, void* security);
BOOL RemoveDirectoryA(const char* name);

DWORD GetFileAttributesA(const char* name);
DWORD GetFileAttributesW(const WCHAR* name);
BOOL SetFileAttributesA(const char* name, DWORD attributes);
BOOL SetFileAttributesW(const WCHAR* name, DWORD attributes);

DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
BOOL SetCurrentDirectoryA(const char* name);
// The runtime's current drive: 1 for A, 2 for B, ...; _chdrive gives 0 on success.
int _getdrive();
int _chdrive(int drive);

// ---- Directory search --------------------------------------------------------

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found);
HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found);
BOOL FindClose(HANDLE search);
// Whether FindFirstFileA finds anything, without keeping a search: what the
// existence tests ask thousands of times a second. On failure the last
// error may not tell a missing file from a missing folder.
BOOL SearchFindsA(const char* pattern);

// The runtime's search: -1 (errno set) when nothing matches.
intptr_t _findfirst64i32(const char* pattern, struct _finddata64i32_t* found);
int _findnext64i32(intptr_t search, struct _finddata64i32_t* found);
int _findclose(intptr_t search);

// ---- Times -------------------------------------------------------------------

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

// ---- Old-style file handles (HFILE) -------------------------------------------

HFILE _lopen(const char* name, int mode);
HFILE _lclose(HFILE file);
LONG _llseek(HFILE file, LONG offset, int origin);
UINT _lread(HFILE file, void* buffer, UINT count);

// ---- Shell -------------------------------------------------------------------

// FO_DELETE, FO_MOVE, FO_COPY and FO_RENAME over double-terminated name
// lists; never shows anything. 0 on success.
int SHFileOperationA(SHFILEOPSTRUCTA* operation);

}  // namespace platform
