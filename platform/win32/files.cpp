#include "platform/files.h"

#include <io.h>
#include <shellapi.h>

namespace platform {

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileA(name, access, shareMode, static_cast<SECURITY_ATTRIBUTES*>(security), disposition,
                       flagsAndAttributes, templateFile);
}

HANDLE CreateFileW(const WCHAR* name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileW(name, access, shareMode, static_cast<SECURITY_ATTRIBUTES*>(security), disposition,
                       flagsAndAttributes, templateFile);
}

BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped) {
  return ::ReadFile(file, buffer, toRead, read, static_cast<OVERLAPPED*>(overlapped));
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped) {
  return ::WriteFile(file, buffer, toWrite, written, static_cast<OVERLAPPED*>(overlapped));
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  return ::SetFilePointer(file, distance, distanceHigh, method);
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) { return ::GetFileSizeEx(file, size); }
BOOL SetEndOfFile(HANDLE file) { return ::SetEndOfFile(file); }
BOOL FlushFileBuffers(HANDLE file) { return ::FlushFileBuffers(file); }

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  return ::GetFileInformationByHandle(file, information);
}

HANDLE GetCurrentProcess() { return ::GetCurrentProcess(); }

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD access,
                     BOOL inheritable, DWORD options) {
  return ::DuplicateHandle(sourceProcess, source, targetProcess, target, access, inheritable, options);
}

BOOL MoveFileA(const char* existing, const char* replacement) { return ::MoveFileA(existing, replacement); }
BOOL MoveFileExA(const char* existing, const char* replacement, DWORD flags) {
  return ::MoveFileExA(existing, replacement, flags);
}
BOOL DeleteFileA(const char* name) { return ::DeleteFileA(name); }
BOOL DeleteFileW(const WCHAR* name) { return ::DeleteFileW(name); }
BOOL CreateDirectoryA(const char* name, void* security) {
  return ::CreateDirectoryA(name, static_cast<SECURITY_ATTRIBUTES*>(security));
}
BOOL RemoveDirectoryA(const char* name) { return ::RemoveDirectoryA(name); }

DWORD GetFileAttributesA(const char* name) { return ::GetFileAttributesA(name); }
DWORD GetFileAttributesW(const WCHAR* name) { return ::GetFileAttributesW(name); }
BOOL SetFileAttributesA(const char* name, DWORD attributes) { return ::SetFileAttributesA(name, attributes); }
BOOL SetFileAttributesW(const WCHAR* name, DWORD attributes) { return ::SetFileAttributesW(name, attributes); }

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); }
BOOL SetCurrentDirectoryA(const char* name) { return ::SetCurrentDirectoryA(name); }
int _getdrive() { return ::_getdrive(); }
int _chdrive(int drive) { return ::_chdrive(drive); }

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) { return ::FindFirstFileA(pattern, found); }
HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found) { return ::FindFirstFileW(pattern, found); }
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) { return ::FindNextFileA(search, found); }
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found) { return ::FindNextFileW(search, found); }
BOOL FindClose(HANDLE search) { return ::FindClose(search); }

BOOL SearchFindsA(const char* pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return FALSE;
  ::FindClose(search);
  return TRUE;
}

intptr_t _findfirst64i32(const char* pattern, struct _finddata64i32_t* found) {
  return ::_findfirst64i32(pattern, found);
}
int _findnext64i32(intptr_t search, struct _finddata64i32_t* found) { return ::_findnext64i32(search, found); }
int _findclose(intptr_t search) { return ::_findclose(search); }

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  return ::FileTimeToSystemTime(fileTime, systemTime);
}

HFILE _lopen(const char* name, int mode) { return ::_lopen(name, mode); }
HFILE _lclose(HFILE file) { return ::_lclose(file); }
LONG _llseek(HFILE file, LONG offset, int origin) { return ::_llseek(file, offset, origin); }
UINT _lread(HFILE file, void* buffer, UINT count) { return ::_lread(file, buffer, count); }

int SHFileOperationA(SHFILEOPSTRUCTA* operation) { return ::SHFileOperationA(operation); }

}  // namespace platform
