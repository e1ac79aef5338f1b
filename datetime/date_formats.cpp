// Day numbers as text in the user's date style, and the patterns and masks
// a date-entry field is made from.

#include "datetime/date_formats.h"

#include <atomic>
#include <cstring>

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/date_format.h"
#include "platform/locale.h"
#include "platform/mbcs.h"
#include "platform/string_table.h"
#include "platform/system.h"

namespace datetime {
namespace {

constexpr int kPatternSize = 100;  // patterns and masks: 99 characters and a terminator
constexpr int kDateTextSize = 255;
constexpr size_t kDisplayMaskSource = 51;
constexpr char kMarker = 0x01;
constexpr UINT kDayLetterId = 9068, kMonthLetterId = 9069, kYearLetterId = 9070;

std::atomic<const char*> pinnedShortDatePattern{nullptr};

// Upper case by ASCII alone, whatever runtime locale the host has set.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ---- The locale ----------------------------------------------------------------

// Only the old non-NT systems before version 4 format by the system locale.
bool FormatsBySystemLocale() {
  DWORD version = platform::GetVersion();
  return (version & 0x80000000u) != 0 && (version & 0xFF) < 4;
}

LCID ChooseLocale(int primaryLanguage, int subLanguage) {
  LCID base = FormatsBySystemLocale() ? LOCALE_SYSTEM_DEFAULT : platform::GetUserDefaultLCID();
  if (primaryLanguage == 0 && subLanguage == 0) return base;
  if (static_cast<int>(platform::ConvertDefaultLocale(base) & 0x3FF) == primaryLanguage) return base;
  return ((static_cast<LCID>(subLanguage) << 10) | static_cast<LCID>(primaryLanguage)) & 0xFFFF;
}

// ---- Dates ---------------------------------------------------------------------

// Formats a day number; the empty text for a year the platform's date
// record cannot carry.
void FormatDayNumber(int dayNumber, LCID locale, DWORD flags, const char* picture, char* text) {
  int day, month, year;
  JulianToDate(dayNumber, &day, &month, &year);
  text[0] = '\0';
  if (year < 1601 || year > 30827) return;
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  if (platform::GetDateFormatA(locale, flags, &date, picture, text, kDateTextSize) == 0) text[0] = '\0';
}

void ReadLocaleValue(LCID locale, LCTYPE type, char* value) {
  if (platform::GetLocaleInfoA(locale, type, value, kPatternSize) == 0) value[0] = '\0';
}

// ---- Patterns and masks --------------------------------------------------------

struct LetterCounts {
  int day = 0, month = 0, year = 0;
  // The count of the letter c stands for, or -1 for any other character.
  int Of(char c) const {
    switch (AsciiUpper(c)) {
      case 'D':
        return day;
      case 'M':
        return month;
      case 'Y':
        return year;
      default:
        return -1;
    }
  }
};

LetterCounts CountLetters(const char* pattern) {
  LetterCounts counts;
  for (const char* c = pattern; *c != '\0'; ++c) {
    char upper = AsciiUpper(*c);
    counts.day += upper == 'D';
    counts.month += upper == 'M';
    counts.year += upper == 'Y';
  }
  return counts;
}

// Appends up to 99 characters in all.
class PatternWriter {
 public:
  explicit PatternWriter(char* out) : out_(out) { out_[0] = '\0'; }
  void Put(char c, int times = 1) {
    for (; times > 0 && length_ < kPatternSize - 1; --times) out_[length_++] = c;
    out_[length_] = '\0';
  }

 private:
  char* out_;
  int length_ = 0;
};

void UserShortDatePattern(char* pattern) {
  const char* pinned = pinnedShortDatePattern.load();
  if (pinned != nullptr) {
    std::strncpy(pattern, pinned, kPatternSize - 1);
    pattern[kPatternSize - 1] = '\0';
  } else {
    ReadLocaleValue(platform::GetUserDefaultLCID(), LOCALE_SSHORTDATE, pattern);
  }
}

// The user's short-date pattern with day, month and year letters standing
// alone doubled, so that day and month take two digits.
void RebuiltShortDatePattern(char* rebuilt) {
  char pattern[kPatternSize];
  UserShortDatePattern(pattern);
  LetterCounts counts = CountLetters(pattern);
  PatternWriter out(rebuilt);
  for (const char* c = pattern; *c != '\0'; ++c) {
    int count = counts.Of(*c);
    out.Put(*c, count >= 0 && count < 2 ? 2 : 1);
  }
}

char MaskLetter(UINT id) {
  char text[16];
  if (platform::LoadStringA(frame::ModuleInstance(), id, text, sizeof text) == 0) return '\0';
  return AsciiLower(text[0]);
}

// The rebuilt pattern spelled with the mask letters (dd/mm/aaaa).
void DisplayMask(char* mask) {
  char rebuilt[kPatternSize];
  RebuiltShortDatePattern(rebuilt);
  rebuilt[kDisplayMaskSource] = '\0';
  platform::_mbslwr(reinterpret_cast<unsigned char*>(rebuilt));
  const char day = MaskLetter(kDayLetterId), month = MaskLetter(kMonthLetterId), year = MaskLetter(kYearLetterId);
  PatternWriter out(mask);
  for (const char* c = rebuilt; *c != '\0'; ++c) {
    out.Put(*c == 'd' ? day : *c == 'm' ? month : *c == 'y' ? year : *c);
  }
}

}  // namespace

const char* SetShortDatePatternForTesting(const char* pattern) { return pinnedShortDatePattern.exchange(pattern); }

}  // namespace datetime

extern "C" {

void OVPB_API OVGetDateFormatEx(int dayNumber, char* text, int primaryLanguage, int subLanguage) {
  if (text == nullptr) return;
  LCID locale = datetime::ChooseLocale(primaryLanguage, subLanguage);
  char pattern[datetime::kPatternSize];
  char formatted[datetime::kDateTextSize];
  datetime::ReadLocaleValue(locale, LOCALE_SLONGDATE, pattern);
  datetime::FormatDayNumber(dayNumber, locale, DATE_LONGDATE, nullptr, formatted);
  // A long date that opens with the weekday's name loses it.
  const char* shown = formatted;
  if (std::strncmp(pattern, "ddd", 3) == 0) {
    const char* space = std::strchr(formatted, ' ');
    if (space != nullptr) shown = space + 1;
  }
  std::memmove(text, shown, std::strlen(shown) + 1);
}

void OVPB_API OVGetDateFormat(int dayNumber, char* text) { OVGetDateFormatEx(dayNumber, text, 0, 0); }

void OVPB_API OVGetShortDateFormatEx(int dayNumber, char* text, int primaryLanguage, int subLanguage) {
  if (text == nullptr) return;
  datetime::FormatDayNumber(dayNumber, datetime::ChooseLocale(primaryLanguage, subLanguage), DATE_SHORTDATE,
                            nullptr, text);
}

void OVPB_API OVGetShortDateFormat(int dayNumber, char* text) { OVGetShortDateFormatEx(dayNumber, text, 0, 0); }

void OVPB_API OVGetShortDatePrefFormat(int dayNumber, char* text) {
  if (text == nullptr) return;
  if (dayNumber >= 0) {
    char rebuilt[datetime::kPatternSize];
    datetime::RebuiltShortDatePattern(rebuilt);
    datetime::FormatDayNumber(dayNumber, platform::GetUserDefaultLCID(), 0, rebuilt, text);
  } else if (dayNumber == -2) {
    datetime::RebuiltShortDatePattern(text);
  } else {
    datetime::DisplayMask(text);
  }
}

void OVPB_API OVGetShortDatePrefMask(char* text, char doubled) {
  if (text == nullptr) return;
  char pattern[datetime::kPatternSize];
  datetime::UserShortDatePattern(pattern);
  datetime::LetterCounts counts = datetime::CountLetters(pattern);
  datetime::PatternWriter out(text);
  for (const char* c = pattern; *c != '\0'; ++c) {
    int count = counts.Of(*c);
    if (count >= 0) {
      out.Put(datetime::kMarker, count < 2 ? 2 : 1);
    } else {
      out.Put(*c, datetime::AsciiUpper(*c) == doubled ? 2 : 1);
    }
  }
}

void OVPB_API OVGetShortDateEditMask(char* text, char doubled) {
  if (text == nullptr) return;
  char rebuilt[datetime::kPatternSize];
  datetime::RebuiltShortDatePattern(rebuilt);
  datetime::LetterCounts counts = datetime::CountLetters(rebuilt);
  datetime::PatternWriter out(text);
  for (const char* c = rebuilt; *c != '\0'; ++c) {
    int count = counts.Of(*c);
    if (count < 0) {
      out.Put(*c, doubled != '\0' && datetime::AsciiUpper(*c) == doubled ? 2 : 1);
    } else if (datetime::AsciiUpper(*c) == 'M' && count >= 3) {
      out.Put('N');
    } else {
      out.Put('9', count < 2 ? 2 : 1);
    }
  }
}

}  // extern "C"
