#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "datetime/civil.h"
#include "ovpb32.h"

namespace {

const int64_t kDayZero = civil::DaysFromCivil(1900, 3, 1);

int DayNumber(int day, int month, int year) {
  int number = -12345;
  DateToJulian(&number, day, month, year);
  return number;
}

// Both ways against the civil-date algorithm: number, then date back.
void ExpectBothWays(int64_t year, unsigned month, unsigned day) {
  int number = DayNumber(day, month, static_cast<int>(year)), back[3];
  ASSERT_EQ(number, static_cast<int32_t>(civil::DaysFromCivil(year, month, day) - kDayZero)) << year << "-" << month;
  JulianToDate(number, &back[0], &back[1], &back[2]);
  ASSERT_TRUE(back[0] == static_cast<int>(day) && back[1] == static_cast<int>(month) && back[2] == year) << number;
}

TEST(DayNumbers, EveryDateFrom1900To9999AndRandomYearsToAMillion) {
  for (int64_t days = civil::DaysFromCivil(1900, 1, 1); days <= civil::DaysFromCivil(9999, 12, 31); ++days) {
    int64_t y;
    unsigned m, d;
    civil::CivilFromDays(days, &y, &m, &d);
    ExpectBothWays(y, m, d);
  }
  std::mt19937 random(14);
  for (int i = 0; i < 200000; ++i) {
    ExpectBothWays(std::uniform_int_distribution<int>(1900, 1000000)(random),
                   std::uniform_int_distribution<unsigned>(1, 12)(random),
                   std::uniform_int_distribution<unsigned>(1, 28)(random));
  }
}

TEST(DayNumbers, TellingAndInvalidDates) {
  const int cases[][4] = {{1, 1, 1900, -59},    {28, 2, 1900, -1},     {1, 3, 1900, 0},  {1, 1, 1970, 25508},
                          {1, 1, 2000, 36465},  {29, 2, 2000, 36524},  {31, 12, 9999, 2958404},
                          {29, 2, 1900, 0},     {29, 2, 2100, 0},      {31, 4, 2001, 0}, {1, 0, 2001, 0},
                          {1, 13, 2001, 0},     {0, 1, 2001, 0},       {31, 12, 1899, 0}};
  for (const auto& c : cases) EXPECT_EQ(DayNumber(c[0], c[1], c[2]), c[3]) << c[0] << "/" << c[1] << "/" << c[2];
  int date[3];
  JulianToDate(-60, &date[0], &date[1], &date[2]);
  EXPECT_TRUE(date[0] == 31 && date[1] == 12 && date[2] == 1899);
  JulianToDate(-693960, &date[0], &date[1], &date[2]);
  EXPECT_TRUE(date[0] == 1 && date[1] == 3 && date[2] == 0);
}

// Extreme arguments stay defined (UBSan watches); valid ones are cut to 32 bits.
TEST(DayNumbers, ExtremeArguments) {
  const int extremes[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX};
  for (int a : extremes) {
    for (int b : extremes) {
      for (int c : extremes) {
        int d, m, y;
        bool valid = a == 1 && b == 1 && c >= 1900;
        EXPECT_EQ(DayNumber(a, b, c), valid ? static_cast<int32_t>(civil::DaysFromCivil(c, 1, 1) - kDayZero) : 0);
        JulianToDate(a, &d, &m, &y);
      }
    }
  }
}

}  // namespace
