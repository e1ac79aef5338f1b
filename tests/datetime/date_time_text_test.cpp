#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <string>

#include "datetime/civil.h"
#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

const double kNull = -657434.0;
const int64_t kEpoch = civil::DaysFromCivil(1899, 12, 30);

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

TEST(DateTimeText, Examples) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, const char*> cases[] = {
      {0.0, "18991230000000"}, {2.5, "19000101120000"}, {-1.25, "18991229060000"}, {36526.999999, "20000102000000"},
      {-657433.5, "01000102120000"}, {2958465.0, "99991231000000"}, {kNull, ""}, {2958465.5, ""}, {-657434.5, ""},
      {std::nan(""), ""}, {inf, ""}, {-inf, ""}, {1e300, ""}, {-1e300, ""}};
  for (const auto& c : cases) EXPECT_EQ(Text(c.first), c.second) << c.first;
  EXPECT_EQ(Text(2.5, true), "19000101");
}

// Random values 0.05 s or more from a rounding edge, and texts from year 100 back and forth.
TEST(DateTimeText, RandomValuesAndTexts) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 200000; ++i) {
    int64_t day = std::uniform_int_distribution<int64_t>(-657433, 2958464)(random);
    int second = std::uniform_int_distribution<int>(0, 86399)(random);
    double slack = std::uniform_real_distribution<double>(second == 0 ? 0.0 : -0.45, 0.45)(random);
    double fraction = (second + slack) / 86400.0;
    int64_t y;
    unsigned m, d;
    civil::CivilFromDays(day + kEpoch, &y, &m, &d);
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
  const double hour = 1.0 / 24;
  const struct {
    const char* text;
    bool dateOnly;
    double value;
  } cases[] = {{"20160921", false, 42634.0},      {"2016092114", false, 42634.0 + 14 * hour},
               {"20160921143000", true, 42634.0}, {"20160921xx3000", false, 42634.0 + hour / 2},
               {"201609", false, kNull},          {" 20160921", false, kNull},   {"2016a921", false, kNull},
               {"", false, kNull},                {"20160931", false, kNull},    {"20160921250000", false, kNull},
               {"99991231235959", false, 2958465.0 + 86399.0 / 86400}};
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text, c.dateOnly), c.value, 1e-9) << c.text;
  EXPECT_EQ(Text(Value("12x40101")), "");  // year 0: below what the writer takes
  for (const char* text : {"2", "2016", "201609", "2016092", "201609211", "2016092114305"}) {
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
  const uint64_t kTicksPerDay = 864000000000ull, from1601 = civil::DaysFromCivil(1601, 1, 1);
  EXPECT_EQ(fromFileTime((civil::DaysFromCivil(1900, 1, 1) - from1601) * kTicksPerDay + 19999999), 2.0 + 1.0 / 86400);
  const uint64_t year10000 = (civil::DaysFromCivil(10000, 1, 1) - from1601) * kTicksPerDay;
  EXPECT_EQ(fromFileTime(year10000 - 1), 2958465.0 + 86399.0 / 86400);
  EXPECT_EQ(fromFileTime(year10000), kNull);
  EXPECT_EQ(fromFileTime(1ull << 63), kNull);

  int64_t before = std::time(nullptr);
  double seconds = (GetCurrentGlobalTime() - (civil::DaysFromCivil(1970, 1, 1) - kEpoch)) * 86400.0;
  int64_t after = std::time(nullptr);
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
  EXPECT_TRUE(std::round(seconds) >= before && std::round(seconds) <= after);
}

}  // namespace
