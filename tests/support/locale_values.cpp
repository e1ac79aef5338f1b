#include "support/locale_values.h"

#include <cstdio>

#include "platform/locale.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace testing_support {

const std::vector<LCID>& ComparedLocales() {
  static const std::vector<LCID> locales = {0x0409, 0x0809, 0x1009, 0x0C0C, 0x0407, 0x0411,
                                            0x0419, 0x0400, 0x0800, 0x007F};
  return locales;
}

const std::vector<LCTYPE>& ComparedLocaleValues() {
  static const std::vector<LCTYPE> types = {
      LOCALE_ILANGUAGE,   LOCALE_ICOUNTRY,       LOCALE_SCOUNTRY,        LOCALE_SLIST,
      LOCALE_IMEASURE,    LOCALE_SDECIMAL,       LOCALE_STHOUSAND,       LOCALE_SGROUPING,
      LOCALE_IDIGITS,     LOCALE_ILZERO,         LOCALE_INEGNUMBER,      LOCALE_SCURRENCY,
      LOCALE_SMONDECIMALSEP, LOCALE_SMONTHOUSANDSEP, LOCALE_SMONGROUPING, LOCALE_ICURRDIGITS,
      LOCALE_ICURRENCY,   LOCALE_INEGCURR,       LOCALE_SDATE,           LOCALE_STIME,
      LOCALE_SSHORTDATE,  LOCALE_SLONGDATE,      LOCALE_IDATE,           LOCALE_STIMEFORMAT,
      LOCALE_ITIME,       LOCALE_ITLZERO,        LOCALE_S1159,           LOCALE_S2359,
      LOCALE_SNAME,       LOCALE_IDEFAULTANSICODEPAGE,
  };
  return types;
}

std::string LocaleValueLine(LCID locale, LCTYPE type) {
  char key[32];
  std::snprintf(key, sizeof key, "%04x %04x ", static_cast<unsigned>(locale), static_cast<unsigned>(type));
  WCHAR value[128];
  if (platform::GetLocaleInfoW(locale, type, value, 128) == 0) {
    return key + std::string("!") + std::to_string(platform::GetLastError());
  }
  return key + ToUtf8(value);
}

}  // namespace testing_support
