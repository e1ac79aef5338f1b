// The locales and values compared between the platforms, as recorded lines:
// "locale type value" (hex ids, the value in UTF-8), "!error" for a failure.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/locale.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace testing_support {

inline const std::vector<LCID>& ComparedLocales() {
  static const std::vector<LCID> locales = {0x0409, 0x0809, 0x1009, 0x0C0C, 0x0407, 0x0411, 0x0419, 0x0400, 0x0800, 0x007F};
  return locales;
}

inline const std::vector<LCTYPE>& ComparedLocaleValues() {
  static const std::vector<LCTYPE> types = {  // LOCALE_* values the library reads
      0x0001, 0x0005, 0x0006, 0x000C, 0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x1010, 0x0014, 0x0016, 0x0017, 0x0018,
      0x0019, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x1003, 0x0023, 0x0025, 0x0028, 0x0029, 0x005C, 0x1004};
  return types;
}

inline std::string LocaleValueLine(LCID locale, LCTYPE type) {
  char key[32];
  std::snprintf(key, sizeof key, "%04x %04x ", static_cast<unsigned>(locale), static_cast<unsigned>(type));
  WCHAR value[128];
  if (platform::GetLocaleInfoW(locale, type, value, 128) != 0) return key + ToUtf8(value);
  return key + std::string("!") + std::to_string(platform::GetLastError());
}

}  // namespace testing_support
