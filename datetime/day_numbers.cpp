// Day numbers: day 0 is 1 March 1900. Years are counted from March, so the
// leap day falls at the end of a counted year. Products are taken in 64 bits
// and the result cut to 32, so that no argument overflows.

#include <stdint.h>

#include "datetime/calendar.h"
#include "ovpb32.h"

namespace datetime {
namespace {

bool IsValidDate(int day, int month, int year) {
  return month >= 1 && month <= 12 && year >= 1900 && day >= 1 && day <= DaysInMonth(month, year);
}

// The year is 1900 or later, so every term is non-negative: unsigned
// arithmetic divides without sign corrections.
int64_t DayNumberOf(int day, int month, int year) {
  uint64_t m = month > 2 ? month - 3 : month + 9;
  uint64_t y = month > 2 ? static_cast<uint64_t>(year) : static_cast<uint64_t>(year) - 1;
  uint64_t c = y / 100;
  uint64_t r = y - 100 * c;
  return static_cast<int64_t>((146097 * c) / 4 + (1461 * r) / 4 + (153 * m + 2) / 5 + day) - 693961;
}

// The calendar date of t = 4 * day number + 2775844, the formulas' own
// integer type: unsigned where t is positive (every day from 1 March of
// year 0), signed, truncating toward zero, below.
template <typename Int>
void CalendarDateOf(Int t, int64_t* day, int64_t* month, int64_t* year) {
  Int c = (t - 1) / 146097;
  t -= 146097 * c;
  Int d = (t - 1) / 4;
  Int r = (4 * d + 3) / 1461;
  Int e = (4 * d - 1461 * r + 7) / 4;
  Int m = (5 * e - 3) / 153;
  *day = static_cast<int64_t>((5 * e - 3 - 153 * m + 5) / 5);
  *year = static_cast<int64_t>(100 * c + r);
  *month = static_cast<int64_t>(m);
}

}  // namespace
}  // namespace datetime

extern "C" {

void OVPB_API DateToJulian(int* dayNumber, int day, int month, int year) {
  if (dayNumber == nullptr) return;
  *dayNumber = datetime::IsValidDate(day, month, year)
                   ? static_cast<int>(datetime::DayNumberOf(day, month, year))
                   : 0;
}

void OVPB_API JulianToDate(int dayNumber, int* day, int* month, int* year) {
  int64_t t = 4 * static_cast<int64_t>(dayNumber) + 2775844;
  int64_t dayOfMonth, m, y;
  if (t > 0) {
    datetime::CalendarDateOf(static_cast<uint64_t>(t), &dayOfMonth, &m, &y);
  } else {
    datetime::CalendarDateOf(t, &dayOfMonth, &m, &y);
  }
  if (m < 10) {
    m += 3;
  } else {
    m -= 9;
    ++y;
  }
  if (day != nullptr) *day = static_cast<int>(dayOfMonth);
  if (month != nullptr) *month = static_cast<int>(m);
  if (year != nullptr) *year = static_cast<int>(y);
}

}  // extern "C"
