// The environment, drive types and network connections of the POSIX layer.

#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/common/network_provided.h"
#include "platform/posix/network_system.h"
#include "platform/system.h"

namespace platform {
namespace {

template <typename Char>
DWORD CopyVariable(const std::basic_string<Char>& value, Char* buffer, DWORD size) {
  if (buffer == nullptr || value.size() + 1 > size) return static_cast<DWORD>(value.size() + 1);
  std::memcpy(buffer, value.c_str(), (value.size() + 1) * sizeof(Char));
  return static_cast<DWORD>(value.size());
}

const char* Variable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) SetLastError(ERROR_ENVVAR_NOT_FOUND);
  return value;
}

}  // namespace

DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size) {
  const char* value = name != nullptr ? Variable(name) : nullptr;
  return value != nullptr ? CopyVariable(std::string(value), buffer, size) : 0;
}

// The environment holds UTF-8.
DWORD GetEnvironmentVariableW(const WCHAR* name, WCHAR* buffer, DWORD size) {
  if (name == nullptr) return 0;
  UErrorCode status = U_ZERO_ERROR;
  char utf8_name[1024];
  u_strToUTF8(utf8_name, sizeof utf8_name, nullptr, reinterpret_cast<const UChar*>(name), -1, &status);
  const char* value = U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING ? Variable(utf8_name) : nullptr;
  if (value == nullptr) return 0;
  int32_t length = 0;
  status = U_ZERO_ERROR;
  u_strFromUTF8(nullptr, 0, &length, value, -1, &status);
  WideString wide(static_cast<size_t>(length), 0);
  status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(&wide[0]), length, nullptr, value, -1, &status);
  return CopyVariable(wide, buffer, size);
}

UINT GetDriveTypeA(const char* root) { return provided::GetDriveType(posix::CurrentNetwork(), root); }
UINT GetDriveTypeW(const WCHAR* root) { return provided::GetDriveType(posix::CurrentNetwork(), root); }

DWORD WNetGetUniversalNameA(const char* local_path, DWORD level, void* buffer, DWORD* size) {
  return provided::WNetGetUniversalName(posix::CurrentNetwork(), local_path, level, buffer, size);
}

DWORD WNetGetUniversalNameW(const WCHAR* local_path, DWORD level, void* buffer, DWORD* size) {
  return provided::WNetGetUniversalName(posix::CurrentNetwork(), local_path, level, buffer, size);
}

DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, NETRESOURCEA* container, HANDLE* handle) {
  return provided::WNetOpenEnum(posix::CurrentNetwork(), scope, type, false, handle);
}

DWORD WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, NETRESOURCEW* container, HANDLE* handle) {
  return provided::WNetOpenEnum(posix::CurrentNetwork(), scope, type, true, handle);
}

DWORD WNetEnumResourceA(HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  return provided::WNetEnumResource(handle, count, buffer, size);
}

DWORD WNetEnumResourceW(HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  return provided::WNetEnumResource(handle, count, buffer, size);
}

DWORD WNetCloseEnum(HANDLE handle) { return provided::WNetCloseEnum(handle); }

}  // namespace platform
