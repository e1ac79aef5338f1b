#include "platform/codepage.h"

#include <locale.h>
#include <stdlib.h>

namespace platform {

UINT GetACP() { return ::GetACP(); }

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength, WCHAR* dest,
                        int destLength) {
  return ::MultiByteToWideChar(codePage, flags, source, sourceLength, dest, destLength);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength, char* dest,
                        int destLength, const char* defaultChar, BOOL* usedDefaultChar) {
  return ::WideCharToMultiByte(codePage, flags, source, sourceLength, dest, destLength, defaultChar,
                               usedDefaultChar);
}

BOOL IsDBCSLeadByte(BYTE byte) { return ::IsDBCSLeadByte(byte); }

struct CtypeLocale {
  _locale_t runtimeLocale;
};

CtypeLocale* CreateCtypeLocale(const WCHAR* name) {
  // The runtime the library links has only the narrow constructor; the name
  // is ASCII (".1252").
  char narrowName[32];
  size_t i = 0;
  for (; name[i] != 0 && i + 1 < sizeof narrowName; ++i) narrowName[i] = static_cast<char>(name[i]);
  narrowName[i] = '\0';
  _locale_t runtimeLocale = _create_locale(LC_CTYPE, narrowName);
  if (runtimeLocale == nullptr) return nullptr;
  return new CtypeLocale{runtimeLocale};
}

void FreeCtypeLocale(CtypeLocale* locale) {
  if (locale == nullptr) return;
  _free_locale(locale->runtimeLocale);
  delete locale;
}

size_t MbsToWcsL(WCHAR* dest, const char* source, size_t count, CtypeLocale* locale) {
  return ::_mbstowcs_l(dest, source, count, locale->runtimeLocale);
}

size_t WcsToMbsL(char* dest, const WCHAR* source, size_t count, CtypeLocale* locale) {
  return ::_wcstombs_l(dest, source, count, locale->runtimeLocale);
}

}  // namespace platform
