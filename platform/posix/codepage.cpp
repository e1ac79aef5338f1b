// The ANSI code page and its conversions, through ICU converters.
//
// The code page is fixed once per process: OVPB_ACP when set, else the
// codeset of the user's POSIX locale (UTF-8 gives 65001, plain ASCII 1252).

#include "platform/codepage.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/posix/posix_codepage.h"
#include "platform/system.h"

namespace platform {

ConverterPtr OpenCodePageConverter(UINT codePage) {
  std::string names[3];
  switch (codePage) {
    case CP_UTF8: names[0] = "UTF-8"; break;
    case 1200: names[0] = "UTF-16LE"; break;
    case 20127: names[0] = "US-ASCII"; break;
    case 28591: names[0] = "ISO-8859-1"; break;
    default:
      names[0] = "windows-" + std::to_string(codePage);
      names[1] = "cp" + std::to_string(codePage);
      names[2] = "ibm-" + std::to_string(codePage);
  }
  for (const std::string& name : names) {
    if (name.empty()) continue;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &status);
    if (U_SUCCESS(status)) return ConverterPtr(converter);
  }
  return nullptr;
}

namespace {

// Maps a POSIX codeset name to the Windows code page a Windows system in that
// locale would use as its ANSI code page.
UINT CodePageFromCodeset(const char* codeset) {
  struct Alias { const char* codeset; UINT codePage; };
  static const Alias kAliases[] = {
      {"UTF-8", CP_UTF8},       {"UTF8", CP_UTF8},           {"ANSI_X3.4-1968", 1252},
      {"ASCII", 1252},          {"ISO-8859-1", 1252},        {"ISO8859-1", 1252},
      {"ISO-8859-15", 1252},    {"CP1252", 1252},            {"SHIFT_JIS", 932},
      {"SJIS", 932},            {"CP932", 932},              {"EUC-JP", 932},
      {"GBK", 936},             {"GB2312", 936},             {"GB18030", 936},
      {"CP936", 936},           {"EUC-KR", 949},             {"CP949", 949},
      {"BIG5", 950},            {"BIG5-HKSCS", 950},         {"CP950", 950},
      {"ISO-8859-2", 1250},     {"ISO-8859-5", 1251},        {"KOI8-R", 1251},
      {"ISO-8859-7", 1253},     {"ISO-8859-9", 1254},        {"ISO-8859-8", 1255},
      {"ISO-8859-6", 1256},     {"ISO-8859-13", 1257},       {"TIS-620", 874},
  };
  for (const Alias& alias : kAliases) {
    if (strcasecmp(alias.codeset, codeset) == 0) return alias.codePage;
  }
  if (strncasecmp(codeset, "CP", 2) == 0) {
    UINT number = static_cast<UINT>(std::strtoul(codeset + 2, nullptr, 10));
    if (number != 0) return number;
  }
  return 1252;
}

UINT CodePageFromEnvironment() {
  const char* configured = std::getenv("OVPB_ACP");
  if (configured != nullptr && *configured != '\0') {
    char* end = nullptr;
    unsigned long number = std::strtoul(configured, &end, 10);
    if (*end == '\0' && number > 0 && number < 65536 && OpenCodePageConverter(number)) return number;
    std::fprintf(stderr, "ovpb32: OVPB_ACP=%s is not a usable code page; using the locale's\n",
                 configured);
  }
  locale_t userLocale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (userLocale == static_cast<locale_t>(0)) return 1252;
  UINT codePage = CodePageFromCodeset(nl_langinfo_l(CODESET, userLocale));
  freelocale(userLocale);
  return codePage;
}

// Threads convert concurrently; ICU converters are not shareable, so each
// thread keeps its own per code page.
UConverter* ThreadConverter(UINT codePage) {
  thread_local std::map<UINT, ConverterPtr> converters;
  auto found = converters.find(codePage);
  if (found == converters.end()) found = converters.emplace(codePage, OpenCodePageConverter(codePage)).first;
  UConverter* converter = found->second.get();
  if (converter != nullptr) ucnv_reset(converter);
  return converter;
}

UINT ResolveCodePage(UINT codePage) {
  return (codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == CP_OEMCP) ? GetACP() : codePage;
}

// Counts substitutions while keeping ICU's substitute behaviour.
struct SubstituteContext {
  bool used = false;
};

void CountingSubstitute(const void* context, UConverterFromUnicodeArgs* args, const UChar* units,
                        int32_t length, UChar32 codePoint, UConverterCallbackReason reason,
                        UErrorCode* status) {
  if (reason <= UCNV_IRREGULAR) static_cast<SubstituteContext*>(const_cast<void*>(context))->used = true;
  UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, status);
}

}  // namespace

UINT AnsiCodePageStore::Load() {
  static const UINT fromEnvironment = CodePageFromEnvironment();
  return fromEnvironment;
}

std::atomic<UINT> AnsiCodePageStore::override_{0};

UINT GetACP() { return AnsiCodePageStore::Current(); }

bool IsDoubleByteCodePage(UINT codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

BOOL IsDBCSLeadByte(BYTE byte) {
  UINT codePage = GetACP();
  if (!IsDoubleByteCodePage(codePage)) return FALSE;
  UConverter* converter = ThreadConverter(codePage);
  if (converter == nullptr) return FALSE;
  UBool starters[256];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_getStarters(converter, starters, &status);
  return U_SUCCESS(status) && starters[byte] ? TRUE : FALSE;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength,
                        WCHAR* dest, int destLength) {
  if (source == nullptr || sourceLength == 0 || destLength < 0 || (dest == nullptr && destLength > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (sourceLength < 0) sourceLength = static_cast<int>(std::strlen(source)) + 1;
  UConverter* converter = ThreadConverter(ResolveCodePage(codePage));
  if (converter == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UErrorCode status = U_ZERO_ERROR;
  if (flags & MB_ERR_INVALID_CHARS) {
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  } else {
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
  }
  // Convert into a scratch buffer first: Windows reports the full length or
  // fails, and never leaves a partial conversion counted.
  std::u16string converted(static_cast<size_t>(sourceLength) * 2 + 2, u'\0');
  status = U_ZERO_ERROR;
  int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(&converted[0]),
                                 static_cast<int32_t>(converted.size()), source, sourceLength, &status);
  if (status == U_ILLEGAL_CHAR_FOUND || status == U_INVALID_CHAR_FOUND || status == U_TRUNCATED_CHAR_FOUND) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (U_FAILURE(status)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (destLength == 0) return length;
  if (length > destLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dest, converted.data(), static_cast<size_t>(length) * sizeof(WCHAR));
  return length;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength, char* dest,
                        int destLength, const char* defaultChar, BOOL* usedDefaultChar) {
  codePage = ResolveCodePage(codePage);
  if (source == nullptr || sourceLength == 0 || destLength < 0 || (dest == nullptr && destLength > 0) ||
      (codePage == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (sourceLength < 0) {
    sourceLength = 1;
    while (source[sourceLength - 1] != 0) ++sourceLength;
  }
  UConverter* converter = ThreadConverter(codePage);
  if (converter == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UErrorCode status = U_ZERO_ERROR;
  const char* substitute = defaultChar != nullptr ? defaultChar : "?";
  if (codePage != CP_UTF8) ucnv_setSubstChars(converter, substitute, 1, &status);
  ucnv_setFallback(converter, (flags & WC_NO_BEST_FIT_CHARS) ? FALSE : TRUE);
  SubstituteContext substitutes;
  ucnv_setFromUCallBack(converter, CountingSubstitute, &substitutes, nullptr, nullptr, &status);
  std::string converted(static_cast<size_t>(sourceLength) * 4 + 4, '\0');
  status = U_ZERO_ERROR;
  int32_t length = ucnv_fromUChars(converter, &converted[0], static_cast<int32_t>(converted.size()),
                                   reinterpret_cast<const UChar*>(source), sourceLength, &status);
  if (U_FAILURE(status)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (usedDefaultChar != nullptr) *usedDefaultChar = substitutes.used ? TRUE : FALSE;
  if (destLength == 0) return length;
  if (length > destLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dest, converted.data(), static_cast<size_t>(length));
  return length;
}

struct CtypeLocale {
  UINT codePage;
};

CtypeLocale* CreateCtypeLocale(const WCHAR* name) {
  // The runtime's form ".<code page>"; anything else is not a locale we make.
  if (name == nullptr || name[0] != u'.' || name[1] == 0) return nullptr;
  UINT codePage = 0;
  for (const WCHAR* digit = name + 1; *digit != 0; ++digit) {
    if (*digit < u'0' || *digit > u'9' || codePage > 100000) return nullptr;
    codePage = codePage * 10 + static_cast<UINT>(*digit - u'0');
  }
  if (!OpenCodePageConverter(codePage)) return nullptr;
  return new CtypeLocale{codePage};
}

void FreeCtypeLocale(CtypeLocale* locale) { delete locale; }

UINT CtypeLocaleCodePage(const CtypeLocale* locale) { return locale->codePage; }

namespace {

// The bytes of the character at `text`, and the UTF-16 units it becomes. A
// lead byte takes the byte after it along even when that is the terminator,
// so that the sequence is converted, and found invalid.
struct CharacterSize {
  size_t bytes;
  size_t units;
};

CharacterSize CharacterAt(UINT codePage, const char* text) {
  const BYTE lead = static_cast<BYTE>(*text);
  if (codePage == CP_UTF8 && lead >= 0xC0) {
    size_t bytes = 1 + static_cast<size_t>(U8_COUNT_TRAIL_BYTES(lead));
    for (size_t i = 1; i < bytes; ++i) {
      if (text[i] == 0) return {i + 1, 1};
    }
    return {bytes, bytes == 4 ? 2u : 1u};
  }
  if (IsDoubleByteCodePage(codePage) && IsLeadByteOf(codePage, lead)) return {2, 1};
  return {1, 1};
}

int DestinationRoom(size_t count) { return static_cast<int>(std::min<size_t>(count, INT_MAX)); }

}  // namespace

// As the runtime does it: the bytes of as many characters as the destination
// holds are converted at once, so an invalid sequence after them goes unseen.
size_t MbsToWcsL(WCHAR* dest, const char* source, size_t count, CtypeLocale* locale) {
  const UINT codePage = locale->codePage;
  if (dest == nullptr) {
    int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, source, -1, nullptr, 0);
    return needed == 0 ? static_cast<size_t>(-1) : static_cast<size_t>(needed) - 1;
  }
  size_t bytes = 0;
  for (size_t units = 0; source[bytes] != 0;) {
    CharacterSize next = CharacterAt(codePage, source + bytes);
    if (units + next.units > count) break;
    units += next.units;
    bytes += next.bytes;
    if (source[bytes - 1] == 0) break;
  }
  size_t stored = 0;
  if (bytes > 0) {
    int converted = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, source, static_cast<int>(bytes), dest,
                                        DestinationRoom(count));
    if (converted == 0) {
      if (count > 0) dest[0] = 0;
      return static_cast<size_t>(-1);
    }
    stored = static_cast<size_t>(converted);
  }
  if (stored < count) dest[stored] = 0;
  return stored;
}

// Character by character, without best fit: a character the code page lacks
// is an error even just past the room.
size_t WcsToMbsL(char* dest, const WCHAR* source, size_t count, CtypeLocale* locale) {
  const UINT codePage = locale->codePage;
  const bool utf8 = codePage == CP_UTF8;  // where Windows takes no default character
  auto convert = [&](const WCHAR* units, int length, char* out, int room) {
    BOOL usedDefault = FALSE;
    int converted = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, units, length, out, room, nullptr,
                                        utf8 ? nullptr : &usedDefault);
    return usedDefault ? 0 : converted;
  };
  if (dest == nullptr) {
    int needed = convert(source, -1, nullptr, 0);
    return needed == 0 ? static_cast<size_t>(-1) : static_cast<size_t>(needed) - 1;
  }
  size_t stored = 0;
  for (const WCHAR* p = source; *p != 0;) {
    const int units = U16_IS_LEAD(p[0]) && U16_IS_TRAIL(p[1]) ? 2 : 1;
    char bytes[8];
    const int length = convert(p, units, bytes, static_cast<int>(sizeof bytes));
    if (length == 0) return static_cast<size_t>(-1);
    if (stored + static_cast<size_t>(length) > count) return stored;
    std::memcpy(dest + stored, bytes, static_cast<size_t>(length));
    stored += static_cast<size_t>(length);
    p += units;
  }
  if (stored < count) dest[stored] = 0;
  return stored;
}

}  // namespace platform
