// The proleptic Gregorian calendar in the forms the date functions need.

#include "datetime/calendar.h"

#include <cmath>

namespace datetime {

const int kDaysBeforeMonth[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr double kHalfSecond = 0.5 / kSecondsPerDay;
// Days from the day before 1 January of year 0 to 30 December 1899.
constexpr int64_t kDaysToEpoch = 693959;

constexpr int64_t kDaysPer400Years = 146097;
constexpr int64_t kDaysPerCentury = 36524;  // a century not divisible by 400
constexpr int64_t kDaysPer4Years = 1461;

bool IsValidDateTime(const DateTimeFields& f) {
  return f.year >= 0 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
         f.day <= DaysInMonth(f.month, f.year) && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 &&
         f.minute <= 59 && f.second >= 0 && f.second <= 59;
}

// Day of the year (0-based) of a year whose leap status is given, to month and day.
void MonthAndDay(int dayOfYear, bool leap, DateTimeFields* fields) {
  if (leap) {
    if (dayOfYear == 59) {
      fields->month = 2;
      fields->day = 29;
      return;
    }
    if (dayOfYear > 59) --dayOfYear;
  }
  int month = 1;
  while (dayOfYear >= kDaysBeforeMonth[month]) ++month;
  fields->month = month;
  fields->day = dayOfYear - kDaysBeforeMonth[month - 1] + 1;
}

// Days since the day before 1 January of year 0 to year and day of the
// year, by 400-year cycles, centuries, four-year spans and years.
void SplitDays(int64_t days, DateTimeFields* fields) {
  int64_t cycles = days / kDaysPer400Years;
  days %= kDaysPer400Years;
  int64_t century = (days - 1) / kDaysPerCentury;  // the first century has one more day
  bool spanStartsLeap = true;
  int64_t spans, dayOfSpan;
  if (century != 0) {
    days = (days - 1) % kDaysPerCentury;
    spans = (days + 1) / kDaysPer4Years;  // the first span is a day short
    if (spans != 0) {
      dayOfSpan = (days + 1) % kDaysPer4Years;
    } else {
      spanStartsLeap = false;
      dayOfSpan = days;
    }
  } else {
    spans = days / kDaysPer4Years;
    dayOfSpan = days % kDaysPer4Years;
  }
  int64_t yearOfSpan, dayOfYear;
  if (spanStartsLeap) {
    yearOfSpan = (dayOfSpan - 1) / 365;  // the first year has 366 days
    dayOfYear = yearOfSpan != 0 ? (dayOfSpan - 1) % 365 : dayOfSpan;
  } else {
    yearOfSpan = dayOfSpan / 365;
    dayOfYear = dayOfSpan % 365;
  }
  fields->year = static_cast<int>(400 * cycles + 100 * century + 4 * spans + yearOfSpan);
  MonthAndDay(static_cast<int>(dayOfYear), yearOfSpan == 0 && spanStartsLeap, fields);
}

}  // namespace

bool IsLeapYear(int64_t year) { return (year & 3) == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int month, int64_t year) {
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDaysBeforeMonth[month] - kDaysBeforeMonth[month - 1];
}

double EncodeDateTime(const DateTimeFields& f) {
  if (!IsValidDateTime(f)) return kNullDateTime;
  int64_t year = f.year;
  int64_t days = 365 * year + year / 4 - year / 100 + year / 400 + f.day + kDaysBeforeMonth[f.month - 1];
  if (f.month <= 2 && IsLeapYear(year)) --days;
  days -= kDaysToEpoch;
  double fraction = (3600.0 * f.hour + 60.0 * f.minute + f.second) / kSecondsPerDay;
  return days >= 0 ? days + fraction : days - fraction;
}

bool DecodeDateTime(double value, DateTimeFields* fields) {
  if (!(value >= kNullDateTime && value <= kLatestDateTime)) return false;
  value += value > 0 ? kHalfSecond : -kHalfSecond;
  SplitDays(static_cast<int64_t>(value) + kDaysToEpoch, fields);
  double magnitude = std::fabs(value);
  int seconds = static_cast<int>((magnitude - std::floor(magnitude)) * kSecondsPerDay);
  fields->second = seconds % 60;
  fields->minute = seconds / 60 % 60;
  fields->hour = seconds / 3600;
  return true;
}

}  // namespace datetime
