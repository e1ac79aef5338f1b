#include <shlobj.h>

#include "platform/shell.h"
#include "platform/system.h"

namespace platform {

DWORD ExpandEnvironmentStringsA(const char* source, char* dest, DWORD size) {
  return ::ExpandEnvironmentStringsA(source, dest, size);
}

BOOL GetComputerNameA(char* buffer, DWORD* size) { return ::GetComputerNameA(buffer, size); }
BOOL GetComputerNameW(WCHAR* buffer, DWORD* size) { return ::GetComputerNameW(buffer, size); }
BOOL GetUserNameA(char* buffer, DWORD* size) { return ::GetUserNameA(buffer, size); }
BOOL GetUserNameW(WCHAR* buffer, DWORD* size) { return ::GetUserNameW(buffer, size); }

BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int folder, BOOL create) {
  return ::SHGetSpecialFolderPathA(owner, path, folder, create);
}

}  // namespace platform
