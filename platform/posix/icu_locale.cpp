// Locale ids on POSIX: the user's and the system's locale from the
// environment, and Windows ids through ICU's table of them.

#include "platform/posix/icu_locale.h"

#include <unicode/uloc.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/locale.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

bool IsNeutral(LCID locale) { return (locale & 0xFFFFFC00u) == 0 && (locale & 0x3FF) != 0; }

std::string IcuPart(int32_t (*getter)(const char*, char*, int32_t, UErrorCode*), const char* icuId) {
  char part[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  getter(icuId, part, sizeof part, &status);
  return U_SUCCESS(status) ? part : "";
}

// "ll_CC.codeset@modifier" as an ICU id: the codeset goes, a script modifier
// becomes the script.
std::string IcuIdOfPosixName(const char* name) {
  if (name == nullptr || *name == 0 || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
      std::strncmp(name, "C.", 2) == 0) {
    return "en_US";
  }
  std::string text(name);
  std::string modifier;
  size_t at = text.find('@');
  if (at != std::string::npos) {
    modifier = text.substr(at + 1);
    text.erase(at);
  }
  size_t dot = text.find('.');
  if (dot != std::string::npos) text.erase(dot);
  size_t underscore = text.find('_');
  std::string language = text.substr(0, underscore);
  std::string region = underscore == std::string::npos ? "" : text.substr(underscore + 1);
  std::string script = modifier == "latin" ? "Latn" : modifier == "cyrillic" ? "Cyrl" : "";
  std::string id = language;
  if (!script.empty()) id += "_" + script;
  if (!region.empty()) id += "_" + region;
  return id;
}

// The first of the variables that is set and not empty.
const char* FirstSet(const char* first, const char* second, const char* third) {
  for (const char* name : {first, second, third}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != 0) return value;
  }
  return nullptr;
}

struct EnvironmentLocale {
  std::string icuId;
  LCID lcid;
};

EnvironmentLocale LocaleOfEnvironment(const char* first, const char* second, const char* third) {
  EnvironmentLocale locale{IcuIdOfPosixName(FirstSet(first, second, third)), 0};
  locale.lcid = LcidOfIcuLocale(locale.icuId.c_str());
  if (locale.lcid == 0) locale.lcid = LOCALE_CUSTOM_UNSPECIFIED;
  return locale;
}

const EnvironmentLocale& UserLocale() {
  static const EnvironmentLocale user = LocaleOfEnvironment("LC_ALL", "LC_TIME", "LANG");
  return user;
}

const EnvironmentLocale& SystemLocale() {
  static const EnvironmentLocale system = LocaleOfEnvironment("LC_ALL", "LC_CTYPE", "LANG");
  return system;
}

// ICU's locale for an id, accepted only when the id is one ICU knows as
// such (its language-only fallbacks are other ids).
bool IcuIdOfKnownLcid(LCID locale, char* icuId, size_t size) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = uloc_getLocaleForLCID(locale, icuId, static_cast<int32_t>(size), &status);
  if (U_FAILURE(status) || status == U_USING_FALLBACK_WARNING || length <= 0 ||
      static_cast<size_t>(length) >= size) {
    return false;
  }
  LCID back = uloc_getLCID(icuId);
  return back == locale || back == (locale & 0xFFFF);
}

bool CopyId(const std::string& id, char* icuId, size_t size) {
  if (id.size() >= size) return false;
  std::memcpy(icuId, id.c_str(), id.size() + 1);
  return true;
}

// Windows' collation suffixes of the sort ids ICU knows.
const char* SortSuffix(const std::string& collation) {
  static const struct { const char* icu; const char* windows; } kSorts[] = {
      {"phonebook", "_phoneb"}, {"traditional", "_tradnl"}, {"stroke", "_stroke"},
      {"pinyin", "_pinyin"},    {"unihan", "_radstr"},      {"gb2312han", "_pronun"},
  };
  for (const auto& sort : kSorts) {
    if (collation == sort.icu) return sort.windows;
  }
  return "";
}

}  // namespace

std::string WindowsLocaleName(const char* icuId) {
  std::string language = IcuPart(uloc_getLanguage, icuId);
  std::string script = IcuPart(uloc_getScript, icuId);
  std::string region = IcuPart(uloc_getCountry, icuId);
  char collation[32] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getKeywordValue(icuId, "collation", collation, sizeof collation, &status);
  std::string name = language;
  // Windows names Chinese by region alone where it has one (zh-TW).
  if (!script.empty() && !(language == "zh" && !region.empty())) name += "-" + script;
  if (!region.empty()) name += "-" + region;
  return name + SortSuffix(U_SUCCESS(status) ? collation : "");
}

LCID LcidOfIcuLocale(const char* icuId) {
  char likely[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_addLikelySubtags(icuId, likely, sizeof likely, &status);
  if (U_FAILURE(status)) return 0;
  std::string language = IcuPart(uloc_getLanguage, likely);
  std::string region = IcuPart(uloc_getCountry, likely);
  std::string withScript = language + "_" + IcuPart(uloc_getScript, likely) + "_" + region;
  // The script is part of some ids (sr-Cyrl-RS) and not of others (en-US).
  for (const std::string& candidate : {withScript, language + "_" + region}) {
    LCID lcid = uloc_getLCID(candidate.c_str());
    if (lcid != 0 && !IsNeutral(lcid)) return lcid;
  }
  return 0;
}

LCID ResolveLocale(LCID locale) { return (locale >> 16) != 0 ? locale : ConvertDefaultLocale(locale); }

bool IcuLocaleIdOf(LCID locale, char* icuId, size_t size) {
  LCID resolved = ResolveLocale(locale);
  bool found = false;
  if (resolved == LOCALE_INVARIANT) {
    found = CopyId("en_US", icuId, size);
  } else if (resolved == LOCALE_CUSTOM_UNSPECIFIED) {
    // Only the environment's locales are custom; the user's is asked first.
    const EnvironmentLocale& custom =
        UserLocale().lcid == LOCALE_CUSTOM_UNSPECIFIED ? UserLocale() : SystemLocale();
    found = custom.lcid == LOCALE_CUSTOM_UNSPECIFIED && CopyId(custom.icuId, icuId, size);
  } else {
    found = IcuIdOfKnownLcid(resolved, icuId, size);
  }
  if (!found) SetLastError(ERROR_INVALID_PARAMETER);
  return found;
}

int LCIDToLocaleName(LCID locale, WCHAR* name, int size, DWORD flags) {
  std::string text;
  if (ConvertDefaultLocale(locale) != LOCALE_INVARIANT) {
    char icuId[ULOC_FULLNAME_CAPACITY];
    // A neutral id names its language alone ("en"), as Windows does.
    bool known = IsNeutral(locale) ? IcuIdOfKnownLcid(locale, icuId, sizeof icuId)
                                   : IcuLocaleIdOf(locale, icuId, sizeof icuId);
    if (!known) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    text = WindowsLocaleName(icuId);
  }
  int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (name == nullptr || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  for (size_t i = 0; i < text.size(); ++i) name[i] = static_cast<WCHAR>(text[i]);
  name[text.size()] = 0;
  return needed;
}

}  // namespace posix

LCID GetUserDefaultLCID() { return posix::UserLocale().lcid; }
LCID GetSystemDefaultLCID() { return posix::SystemLocale().lcid; }

LCID ConvertDefaultLocale(LCID locale) {
  if (locale == LOCALE_NEUTRAL || locale == LOCALE_USER_DEFAULT) return GetUserDefaultLCID();
  if (locale == LOCALE_SYSTEM_DEFAULT) return GetSystemDefaultLCID();
  char icuId[ULOC_FULLNAME_CAPACITY];
  // A sort id stands for its language's locale (0x10407 is de-DE).
  if ((locale >> 16) != 0) return posix::IcuIdOfKnownLcid(locale, icuId, sizeof icuId) ? locale & 0xFFFF : locale;
  if (!posix::IsNeutral(locale) || locale == LOCALE_INVARIANT) return locale;
  // A language alone stands for its principal region (0x0009 is en-US).
  char language[ULOC_FULLNAME_CAPACITY];
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = uloc_getLocaleForLCID(locale, language, sizeof language, &status);
  if (U_FAILURE(status) || length <= 0) return locale;
  LCID specific = posix::LcidOfIcuLocale(language);
  return specific != 0 ? specific : locale;
}

}  // namespace platform
