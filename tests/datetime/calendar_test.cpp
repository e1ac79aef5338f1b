// Day numbers and date-time text against an independent (era-based) civil-date computation.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400), doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  return era * 146097 + static_cast<int64_t>(yoe * 365 + yoe / 4 - yoe / 100 + doy) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097), yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

const int64_t kDayZero = DaysFromCivil(1900, 3, 1), kEpoch = DaysFromCivil(1899, 12, 30);
const double kNull = -657434.0;

int DayNumber(int day, int month, int year) {
  int number = -12345;
  DateToJulian(&number, day, month, year);
  return number;
}

void ExpectBothWays(int64_t year, unsigned month, unsigned day) {
  int number = DayNumber(day, month, static_cast<int>(year)), back[3];
  ASSERT_EQ(number, static_cast<int32_t>(DaysFromCivil(year, month, day) - kDayZero)) << year << "-" << month;
  JulianToDate(number, &back[0], &back[1], &back[2]);
  ASSERT_TRUE(back[0] == static_cast<int>(day) && back[1] == static_cast<int>(month) && back[2] == year) << number;
}

TEST(DayNumbers, EveryDateFrom1900To9999AndRandomYearsToAMillion) {
  for (int64_t days = DaysFromCivil(1900, 1, 1), y; days <= DaysFromCivil(9999, 12, 31); ++days) {
    unsigned m, d;
    CivilFromDays(days, &y, &m, &d);
    ExpectBothWays(y, m, d);
  }
  std::mt19937 random(14);
  for (int i = 0; i < 200000; ++i) {
    ExpectBothWays(std::uniform_int_distribution<int>(1900, 1000000)(random),
                   std::uniform_int_distribution<unsigned>(1, 12)(random),
                   std::uniform_int_distribution<unsigned>(1, 28)(random));
  }
}

// Invalid dates give 0; extreme arguments stay defined (UBSan watches), valid ones cut to 32 bits.
TEST(DayNumbers, InvalidDatesAndExtremeArguments) {
  for (const auto& c : std::vector<std::vector<int>>{{29, 2, 1900}, {29, 2, 2100}, {31, 4, 2001}, {1, 0, 2001},
                                                     {1, 13, 2001}, {0, 1, 2001}, {31, 12, 1899}}) {
    EXPECT_EQ(DayNumber(c[0], c[1], c[2]), 0) << c[0] << "/" << c[1] << "/" << c[2];
  }
  int d, m, y;
  JulianToDate(-693960, &d, &m, &y);
  EXPECT_TRUE(d == 1 && m == 3 && y == 0);
  const int extremes[] = {INT_MIN, -1, 0, 1, INT_MAX};
  for (int a : extremes) {
    for (int b : extremes) {
      for (int c : extremes) {
        EXPECT_EQ(DayNumber(a, b, c), a == 1 && b == 1 && c >= 1900 ? int32_t(DaysFromCivil(c, 1, 1) - kDayZero) : 0);
        JulianToDate(a, &d, &m, &y);
      }
    }
  }
}

std::string Text(double value, bool dateOnly = false) {
  char narrow[15];
  WCHAR wide[15];
  DateTimeToStringA(value, narrow, dateOnly);
  DateTimeToStringW(value, wide, dateOnly);
  EXPECT_EQ(std::basic_string<WCHAR>(wide), std::basic_string<WCHAR>(narrow, narrow + std::strlen(narrow)));
  return narrow;
}

double Value(const std::string& text, bool dateOnly = false) {
  double narrow = StringToDateTimeA(text.c_str(), dateOnly);
  EXPECT_EQ(StringToDateTimeW(std::basic_string<WCHAR>(text.begin(), text.end()).c_str(), dateOnly), narrow);
  return narrow;
}

TEST(DateTimeText, ValuesWithoutText) {
  for (double value : {kNull, 2958465.5, -657434.5, std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300}) {
    EXPECT_EQ(Text(value), "") << value;
  }
  EXPECT_EQ(Text(-1.25), "18991229060000");
  EXPECT_EQ(Text(36526.999999), "20000102000000");
  EXPECT_EQ(Text(2.5, true), "19000101");
}

// Random values 0.05 s or more from a rounding edge, back and forth through the text from year 100.
TEST(DateTimeText, RandomValuesAndTexts) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 200000; ++i) {
    int64_t day = std::uniform_int_distribution<int64_t>(-657433, 2958464)(random), y;
    int second = std::uniform_int_distribution<int>(0, 86399)(random);
    double fraction = (second + std::uniform_real_distribution<double>(second ? -0.45 : 0.0, 0.45)(random)) / 86400;
    unsigned m, d;
    CivilFromDays(day + kEpoch, &y, &m, &d);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d%02u%02u%02d%02d%02d", static_cast<int>(y), m, d, second / 3600,
                  second / 60 % 60, second % 60);
    ASSERT_EQ(Text(day >= 0 ? day + fraction : day - fraction), expected) << day << " " << fraction;
    if (y > 100 || m > 1 || d > 1 || second > 0) {  // 1 January 100 at midnight is the null value
      ASSERT_EQ(Text(Value(expected)), expected);
    }
  }
}

TEST(DateTimeText, FieldsAtFixedPlaces) {
  const struct {
    const char* text;
    bool dateOnly;
    double value;
  } cases[] = {{"2016092114", false, 42634 + 14 / 24.0}, {"20160921143000", true, 42634}, {"201609", false, kNull},
               {"20160921xx3000", false, 42634 + 1 / 48.0}, {" 20160921", false, kNull},  {"2016a921", false, kNull},
               {"20160921250000", false, kNull}, {"99991231235959", false, 2958465 + 86399 / 86400.0}};
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text, c.dateOnly), c.value, 1e-9) << c.text;
  for (const char* text : {"2", "201609", "2016092", "2016092114305"}) {  // ends at a guarded page
    std::string terminated(text, std::strlen(text) + 1);
    testing_support::GuardedText<char> narrow(terminated);
    testing_support::GuardedText<WCHAR> wide(std::basic_string<WCHAR>(terminated.begin(), terminated.end()));
    EXPECT_EQ(StringToDateTimeA(narrow.get(), FALSE), StringToDateTimeW(wide.get(), FALSE)) << text;
  }
}

TEST(DateTimeText, FileTimesAndTheClock) {
  auto fromFileTime = [](uint64_t ticks) {
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return FileTimeToDateTime(&time);
  };
  const uint64_t kTicksPerDay = 864000000000ull, year10000 = DaysFromCivil(10000, 1, 1) - DaysFromCivil(1601, 1, 1);
  EXPECT_EQ(fromFileTime((DaysFromCivil(1900, 1, 1) - DaysFromCivil(1601, 1, 1)) * kTicksPerDay + 19999999), 2 + 1 / 86400.0);
  EXPECT_EQ(fromFileTime(year10000 * kTicksPerDay - 1), 2958465.0 + 86399.0 / 86400);
  EXPECT_EQ(fromFileTime(year10000 * kTicksPerDay), kNull);
  EXPECT_EQ(fromFileTime(1ull << 63), kNull);
  int64_t before = std::time(nullptr);
  double seconds = (GetCurrentGlobalTime() - (DaysFromCivil(1970, 1, 1) - kEpoch)) * 86400.0;
  int64_t after = std::time(nullptr);
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
  EXPECT_TRUE(std::round(seconds) >= before && std::round(seconds) <= after);
}

}  // namespace
