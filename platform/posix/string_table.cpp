#include "platform/string_table.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "platform/posix/string_table.h"
#include "platform/system.h"

namespace platform {
namespace {

// The table's UTF-8 text in the ANSI code page.
std::string InAnsiCodePage(const char* utf8) {
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (units <= 1) return std::string();
  std::basic_string<WCHAR> wide(static_cast<size_t>(units), 0);
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], units);
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), units - 1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), units - 1, &narrow[0], bytes, nullptr, nullptr);
  return narrow;
}

}  // namespace

// Only the library itself has a string table, so every module handle finds it.
int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = '\0';
  for (size_t i = 0; i < posix::kStringTableSize; ++i) {
    if (posix::kStringTable[i].id != id) continue;
    std::string text = InAnsiCodePage(posix::kStringTable[i].text);
    size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return 0;
}

}  // namespace platform
