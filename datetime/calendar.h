// Calendar arithmetic shared by the day numbers and the date-time values.
#pragma once

#include <stdint.h>

namespace datetime {

// Days before the first of each month in a common year, and the year's end.
extern const int kDaysBeforeMonth[13];

bool IsLeapYear(int64_t year);
// Length of month (1 to 12) in year.
int DaysInMonth(int month, int64_t year);

// Date-time values: days from 30 December 1899, the time as the fraction.
constexpr double kNullDateTime = -657434.0;
constexpr double kLatestDateTime = 2958465.0;

struct DateTimeFields {
  int year, month, day, hour, minute, second;
};

// The value of the fields, or the null date-time when they are not a valid
// date and time (years 0 to 9999).
double EncodeDateTime(const DateTimeFields& fields);
// False for a value outside the range.
bool DecodeDateTime(double value, DateTimeFields* fields);

}  // namespace datetime
