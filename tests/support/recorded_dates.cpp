#include "support/recorded_dates.h"

#include <cstdio>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/date_format.h"
#include "platform/locale.h"
#include "support/test_support.h"

namespace testing_support {
namespace {

const LCID kLocales[] = {0x0409, 0x0809, 0x1009, 0x0C0C, 0x0407, 0x0411, 0x0419};
const int kYears[] = {1601, 1752, 1899, 1900, 1999, 2000, 2001, 2024, 2100, 2400, 5000, 9999};
const char* const kPictures[] = {"d dd ddd dddd", "M MM MMM MMMM", "d MMMM yyyy", "y yy yyy yyyyy",
                                 "'It''s' dd-MMM-yy gg", "MMMM, yyyy"};

// Windows writes in the locale's own code page, the POSIX layer in the
// process's.
UINT CodePageOfText(LCID locale) {
#ifdef _WIN32
  char codePage[8];
  if (platform::GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage) > 0) {
    return static_cast<UINT>(std::atoi(codePage));
  }
#endif
  return CP_ACP;
}

std::string Format(LCID locale, DWORD flags, const SYSTEMTIME& date, const char* picture) {
  char text[256];
  if (platform::GetDateFormatA(locale, flags, &date, picture, text, sizeof text) == 0) return "(error)";
  WideString wide(256, 0);
  int units = platform::MultiByteToWideChar(CodePageOfText(locale), 0, text, -1, &wide[0], 256);
  wide.resize(units > 0 ? units - 1 : 0);
  return ToUtf8(wide);
}

}  // namespace

std::vector<std::string> RecordDateFormats() {
  std::vector<SYSTEMTIME> dates;
  for (int year : kYears) {
    for (int month = 1; month <= 13; ++month) {  // 13: 29 February of the leap years
      SYSTEMTIME date{};
      date.wYear = static_cast<WORD>(year);
      date.wMonth = static_cast<WORD>(month <= 12 ? month : 2);
      date.wDay = static_cast<WORD>(month <= 12 ? 2 * month + 1 : 29);
      if (month <= 12 || (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) dates.push_back(date);
    }
  }
  std::vector<std::string> lines;
  for (LCID locale : kLocales) {
    for (const SYSTEMTIME& date : dates) {
      char prefix[32];
      std::snprintf(prefix, sizeof prefix, "%04x\t%04d-%02d-%02d\t", static_cast<unsigned>(locale), date.wYear,
                    date.wMonth, date.wDay);
      lines.push_back(prefix + std::string("LONG\t") + Format(locale, DATE_LONGDATE, date, nullptr));
      lines.push_back(prefix + std::string("SHORT\t") + Format(locale, DATE_SHORTDATE, date, nullptr));
      for (const char* picture : kPictures) lines.push_back(prefix + (picture + ("\t" + Format(locale, 0, date, picture))));
    }
  }
  return lines;
}

}  // namespace testing_support
