#include "platform/locale.h"

#include <mbctype.h>

namespace platform {

LCID GetUserDefaultLCID() { return ::GetUserDefaultLCID(); }
LCID GetSystemDefaultLCID() { return ::GetSystemDefaultLCID(); }
LCID ConvertDefaultLocale(LCID locale) { return ::ConvertDefaultLocale(locale); }

int GetLocaleInfoA(LCID locale, LCTYPE type, char* buffer, int size) {
  return ::GetLocaleInfoA(locale, type, buffer, size);
}

int GetLocaleInfoW(LCID locale, LCTYPE type, WCHAR* buffer, int size) {
  return ::GetLocaleInfoW(locale, type, buffer, size);
}

BOOL TranslateCharsetInfo(DWORD* source, CHARSETINFO* info, DWORD flags) {
  return ::TranslateCharsetInfo(source, info, flags);
}

int _getmbcp() { return ::_getmbcp(); }

}  // namespace platform
