#include "platform/profile.h"

namespace platform {

UINT GetPrivateProfileIntA(const char* section, const char* key, INT defaultValue, const char* fileName) {
  return ::GetPrivateProfileIntA(section, key, defaultValue, fileName);
}

UINT GetPrivateProfileIntW(const WCHAR* section, const WCHAR* key, INT defaultValue, const WCHAR* fileName) {
  return ::GetPrivateProfileIntW(section, key, defaultValue, fileName);
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* fileName) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName);
}

DWORD GetPrivateProfileStringW(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue, WCHAR* buffer,
                               DWORD size, const WCHAR* fileName) {
  return ::GetPrivateProfileStringW(section, key, defaultValue, buffer, size, fileName);
}

DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size) {
  return ::GetProfileStringA(section, key, defaultValue, buffer, size);
}

}  // namespace platform
