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

void ExpectDate(int number, int day, int month, int year) {
  int d = 0, m = 0, y = 0;
  JulianToDate(number, &d, &m, &y);
  EXPECT_EQ(d, day) << number;
  EXPECT_EQ(m, month) << number;
  EXPECT_EQ(y, year) << number;
}

TEST(DayNumbers, EveryDateFrom1900To9999BothWays) {
  int previous = -60;
  for (int64_t days = civil::DaysFromCivil(1900, 1, 1); days <= civil::DaysFromCivil(9999, 12, 31); ++days) {
    int64_t y;
    unsigned m, d;
    civil::CivilFromDays(days, &y, &m, &d);
    int number = DayNumber(d, m, static_cast<int>(y));
    ASSERT_EQ(number, days - kDayZero) << y << "-" << m << "-" << d;
    ASSERT_EQ(number, previous + 1);
    previous = number;
    int back[3];
    JulianToDate(number, &back[0], &back[1], &back[2]);
    ASSERT_TRUE(back[0] == static_cast<int>(d) && back[1] == static_cast<int>(m) && back[2] == y) << number;
  }
}

TEST(DayNumbers, TellingValues) {
  struct {
    int day, month, year, number;
  } const cases[] = {{1, 1, 1900, -59}, {28, 2, 1900, -1}, {1, 3, 1900, 0},         {1, 1, 1970, 25508},
                     {1, 1, 2000, 36465}, {29, 2, 2000, 36524}, {31, 12, 9999, 2958404}};
  for (const auto& c : cases) {
    EXPECT_EQ(DayNumber(c.day, c.month, c.year), c.number);
    ExpectDate(c.number, c.day, c.month, c.year);
  }
  ExpectDate(-60, 31, 12, 1899);
  ExpectDate(-693960, 1, 3, 0);
}

TEST(DayNumbers, InvalidDatesGiveZero) {
  const int invalid[][3] = {{29, 2, 1900}, {29, 2, 2100}, {31, 4, 2001}, {1, 0, 2001},
                            {1, 13, 2001}, {0, 1, 2001},  {31, 12, 1899}, {32, 1, 2001}};
  for (const auto& date : invalid) EXPECT_EQ(DayNumber(date[0], date[1], date[2]), 0) << date[0] << "/" << date[1];
}

TEST(DayNumbers, RandomYearsUpToAMillion) {
  std::mt19937 random(14);
  for (int i = 0; i < 200000; ++i) {
    int year = std::uniform_int_distribution<int>(1900, 1000000)(random);
    int month = std::uniform_int_distribution<int>(1, 12)(random);
    int day = std::uniform_int_distribution<int>(1, 28)(random);
    int number = DayNumber(day, month, year);
    ASSERT_EQ(number, civil::DaysFromCivil(year, month, day) - kDayZero);
    ExpectDate(number, day, month, year);
  }
}

// Extreme arguments must not overflow (UBSan watches this test).
TEST(DayNumbers, ExtremeArgumentsStayDefined) {
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
