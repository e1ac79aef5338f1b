// GetDateFormatA on ICU's date names, with Windows picture rules.

#include "platform/date_format.h"

#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/posix/icu_locale.h"
#include "platform/system.h"

namespace platform {
namespace {

using Text = std::u16string;

// ---- Date names, made once per locale ------------------------------------------

class DateNames {
 public:
  explicit DateNames(const icu::Locale& locale) : symbols_(locale, status_) {}
  bool ok() const { return U_SUCCESS(status_); }

  // month 1 to 12; `genitive` takes the form that goes with a day number.
  Text Month(int month, bool abbreviated, bool genitive) const {
    int32_t count = 0;
    const icu::UnicodeString* names = symbols_.getMonths(
        count, genitive ? icu::DateFormatSymbols::FORMAT : icu::DateFormatSymbols::STANDALONE,
        abbreviated ? icu::DateFormatSymbols::ABBREVIATED : icu::DateFormatSymbols::WIDE);
    return month <= count ? Of(names[month - 1]) : Text();
  }
  // weekday 0 (Sunday) to 6.
  Text Weekday(int weekday, bool abbreviated) const {
    int32_t count = 0;
    const icu::UnicodeString* names = symbols_.getWeekdays(
        count, icu::DateFormatSymbols::FORMAT,
        abbreviated ? icu::DateFormatSymbols::ABBREVIATED : icu::DateFormatSymbols::WIDE);
    return weekday + 1 < count ? Of(names[weekday + 1]) : Text();  // ICU counts from 1, Sunday
  }
  Text CommonEra() const {
    int32_t count = 0;
    const icu::UnicodeString* eras = symbols_.getEras(count);
    return count > 1 ? Of(eras[1]) : Text();
  }

 private:
  static Text Of(const icu::UnicodeString& name) { return Text(name.getBuffer(), name.getBuffer() + name.length()); }

  UErrorCode status_ = U_ZERO_ERROR;
  icu::DateFormatSymbols symbols_;
};

// Names for the locale id, made on first use and kept for the process.
const DateNames* NamesFor(LCID locale) {
  char icuId[ULOC_FULLNAME_CAPACITY];
  if (!posix::IcuLocaleIdOf(locale, icuId, sizeof icuId)) return nullptr;
  static std::mutex lock;
  static auto* cache = new std::map<std::string, std::unique_ptr<const DateNames>>();
  std::lock_guard<std::mutex> hold(lock);
  std::unique_ptr<const DateNames>& names = (*cache)[icuId];
  if (names == nullptr) {
    auto made = std::make_unique<DateNames>(icu::Locale(icuId[0] != '\0' ? icuId : "en_US_POSIX"));
    if (!made->ok()) return nullptr;
    names = std::move(made);
  }
  return names.get();
}

// ---- The date ------------------------------------------------------------------

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsFormattable(const SYSTEMTIME& date) {
  static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.wYear < 1601 || date.wYear > 30827 || date.wMonth < 1 || date.wMonth > 12 || date.wDay < 1) return false;
  return date.wDay <= kMonthDays[date.wMonth - 1] + (date.wMonth == 2 && IsLeap(date.wYear) ? 1 : 0);
}

// 0 for Sunday, from the date (Zeller's congruence for the Gregorian calendar).
int WeekdayOf(const SYSTEMTIME& date) {
  int month = date.wMonth, year = date.wYear;
  if (month < 3) {
    month += 12;
    --year;
  }
  int saturdayFirst = (date.wDay + 13 * (month + 1) / 5 + year + year / 4 - year / 100 + year / 400) % 7;
  return (saturdayFirst + 6) % 7;
}

// ---- The picture ---------------------------------------------------------------

Text Number(int value, int minimumDigits) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < minimumDigits) digits.insert(0, minimumDigits - digits.size(), '0');
  return Text(digits.begin(), digits.end());
}

// Whether the picture shows the day as a number (a run of one or two d
// outside quotes), which puts month names into their genitive form.
bool HasDayNumber(const Text& picture) {
  bool quoted = false;
  for (size_t i = 0; i < picture.size();) {
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == picture[i]) ++run;
    if (picture[i] == u'\'') {
      if (run % 2 == 1) quoted = !quoted;
    } else if (!quoted && picture[i] == u'd' && run <= 2) {
      return true;
    }
    i += run;
  }
  return false;
}

Text Render(const Text& picture, const SYSTEMTIME& date, const DateNames& names) {
  const bool genitive = HasDayNumber(picture);
  Text out;
  for (size_t i = 0; i < picture.size();) {
    char16_t letter = picture[i];
    if (letter == u'\'') {
      // Quoted text is literal; '' is a quote, inside quotes or out.
      ++i;
      if (i < picture.size() && picture[i] == u'\'') {
        out += u'\'';
        ++i;
        continue;
      }
      for (; i < picture.size(); ++i) {
        if (picture[i] != u'\'') {
          out += picture[i];
        } else if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
          out += u'\'';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == letter) ++run;
    i += run;
    switch (letter) {
      case u'd':
        out += run <= 2 ? Number(date.wDay, static_cast<int>(run)) : names.Weekday(WeekdayOf(date), run == 3);
        break;
      case u'M':
        out += run <= 2 ? Number(date.wMonth, static_cast<int>(run)) : names.Month(date.wMonth, run == 3, genitive);
        break;
      case u'y':
        out += run <= 2 ? Number(date.wYear % 100, 2) : Number(date.wYear, 4);
        break;
      case u'g':
        out += names.CommonEra();
        break;
      default:
        out.append(run, letter);
    }
  }
  return out;
}

// ---- ANSI text -----------------------------------------------------------------

bool ToWide(const char* narrow, Text* wide) {
  int units = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
  if (units <= 0) return false;
  std::basic_string<WCHAR> converted(static_cast<size_t>(units), 0);
  MultiByteToWideChar(CP_ACP, 0, narrow, -1, &converted[0], units);
  wide->assign(converted.begin(), converted.end() - 1);
  return true;
}

std::string ToAnsi(const Text& wide) {
  std::basic_string<WCHAR> units(wide.begin(), wide.end());
  int bytes = WideCharToMultiByte(CP_ACP, 0, units.c_str(), static_cast<int>(units.size()), nullptr, 0, nullptr,
                                  nullptr);
  std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    WideCharToMultiByte(CP_ACP, 0, units.c_str(), static_cast<int>(units.size()), &narrow[0], bytes, nullptr,
                        nullptr);
  }
  return narrow;
}

// The locale's own picture for the long or short date.
bool LocalePicture(LCID locale, DWORD flags, Text* picture) {
  char narrow[256];
  LCTYPE type = (flags & DATE_LONGDATE) != 0 ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE;
  if (GetLocaleInfoA(locale, type, narrow, sizeof narrow) == 0) return false;
  return ToWide(narrow, picture);
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, const char* picture, char* buffer, int size) {
  const DWORD kStyles = DATE_LONGDATE | DATE_SHORTDATE;
  if (size < 0 || (size > 0 && buffer == nullptr) || date == nullptr || !IsFormattable(*date)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if ((flags & kStyles) == kStyles || (picture != nullptr && (flags & kStyles) != 0)) {
    return Fail(ERROR_INVALID_FLAGS);
  }
  const DateNames* names = NamesFor(locale);
  if (names == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  Text widePicture;
  bool pictureRead = picture != nullptr ? ToWide(picture, &widePicture) : LocalePicture(locale, flags, &widePicture);
  if (!pictureRead) return Fail(ERROR_INVALID_PARAMETER);
  std::string text = ToAnsi(Render(widePicture, *date, *names));
  int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (needed > size) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

}  // namespace platform
