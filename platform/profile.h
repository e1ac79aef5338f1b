// INI profile reads with Windows semantics: section and key names compared
// without regard to case, trailing blanks stripped from the default, values
// truncated to the buffer, integers read with sign and leading blanks and
// trailing garbage ignored. The library only ever reads profiles.
#pragma once

#include "platform/types.h"

namespace platform {

UINT GetPrivateProfileIntA(const char* section, const char* key, INT defaultValue, const char* fileName);
UINT GetPrivateProfileIntW(const WCHAR* section, const WCHAR* key, INT defaultValue, const WCHAR* fileName);

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);
DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue,
                               WCHAR* buffer, DWORD size, const WCHAR* fileName);

// Reads the user's profile (win.ini on Windows; see the README for POSIX).
DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD size);

}  // namespace platform
