#include <gtest/gtest.h>

#include <cmath>
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
  std::memset(narrow, 'x', sizeof narrow);
  DateTimeToStringA(value, narrow, dateOnly);
  DateTimeToStringW(value, wide, dateOnly);
  std::string fromWide;
  for (const WCHAR* c = wide; *c != 0; ++c) fromWide += static_cast<char>(*c);
  EXPECT_EQ(fromWide, narrow) << value;
  return narrow;
}

std::basic_string<WCHAR> Widen(const std::string& text) { return {text.begin(), text.end()}; }

double Value(const std::string& text, bool dateOnly = false) {
  double narrow = StringToDateTimeA(text.c_str(), dateOnly);
  EXPECT_EQ(StringToDateTimeW(Widen(text).c_str(), dateOnly), narrow) << text;
  return narrow;
}

TEST(DateTimeText, Examples) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{0.0, "18991230000000"},          {2.5, "19000101120000"},  {-1.25, "18991229060000"},
               {36526.999999, "20000102000000"}, {kNull, ""},             {-657433.5, "01000102120000"},
               {2958465.5, ""},                  {2958465.0, "99991231000000"}, {-657434.5, ""}};
  for (const auto& c : cases) EXPECT_EQ(Text(c.value), c.text) << c.value;
  EXPECT_EQ(Text(2.5, true), "19000101");
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {std::nan(""), inf, -inf, 1e300, -1e300}) EXPECT_EQ(Text(bad), "");
}

TEST(DateTimeText, RandomValuesAgainstIndependentComputation) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 200000; ++i) {
    int64_t day = std::uniform_int_distribution<int64_t>(-657433, 2958464)(random);
    int second = std::uniform_int_distribution<int>(0, 86399)(random);
    double slack = std::uniform_real_distribution<double>(-0.45, 0.45)(random);
    if (second == 0) slack = std::fabs(slack);
    double fraction = (second + slack) / 86400.0;
    double value = day >= 0 ? day + fraction : day - fraction;
    int64_t y;
    unsigned m, d;
    civil::CivilFromDays(day + kEpoch, &y, &m, &d);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d%02u%02u%02d%02d%02d", static_cast<int>(y), m, d, second / 3600,
                  second / 60 % 60, second % 60);
    ASSERT_EQ(Text(value), expected) << value;
  }
}

TEST(DateTimeText, TextToValueToTextFromYear100) {
  std::mt19937 random(9);
  for (int i = 0; i < 100000; ++i) {
    int year = std::uniform_int_distribution<int>(100, 9999)(random);
    int month = std::uniform_int_distribution<int>(1, 12)(random);
    unsigned length = civil::DaysFromCivil(month == 12 ? year + 1 : year, month % 12 + 1, 1) -
                      civil::DaysFromCivil(year, month, 1);
    int day = std::uniform_int_distribution<int>(1, length)(random);
    int second = std::uniform_int_distribution<int>(year == 100 && month == 1 && day == 1, 86399)(random);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", year, month, day, second / 3600, second / 60 % 60,
                  second % 60);
    ASSERT_EQ(Text(Value(text)), text);
  }
}

TEST(DateTimeText, FieldsAtFixedPlaces) {
  const double hour = 1.0 / 24;
  const struct {
    const char* text;
    bool dateOnly;
    double value;
  } cases[] = {{"20160921", false, 42634.0},        {"2016092114", false, 42634.0 + 14 * hour},
               {"20160921143000", true, 42634.0},   {"20160921xx3000", false, 42634.0 + hour / 2},
               {"201609", false, kNull},            {" 20160921", false, kNull},
               {"2016a921", false, kNull},          {"", false, kNull},
               {"20160931", false, kNull},          {"20160921250000", false, kNull},
               {"99991231235959", false, 2958465.0 + 86399.0 / 86400}};
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text, c.dateOnly), c.value, 1e-9) << c.text;
  // A year that is not four digits is year 0, below what the writer takes.
  EXPECT_EQ(Text(Value("12x40101")), "");
}

TEST(DateTimeText, ReadsNoFurtherThanTheTerminator) {
  for (const char* text : {"2", "2016", "201609", "2016092", "201609211", "2016092114305"}) {
    testing_support::GuardedText<char> narrow(std::string(text, std::strlen(text) + 1));
    testing_support::GuardedText<WCHAR> wide(Widen(std::string(text, std::strlen(text) + 1)));
    EXPECT_EQ(StringToDateTimeA(narrow.get(), FALSE), StringToDateTimeW(wide.get(), FALSE)) << text;
  }
}

TEST(DateTimeText, FileTimes) {
  auto fileTime = [](uint64_t ticks) {
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return FileTimeToDateTime(&time);
  };
  const uint64_t kTicksPerDay = 864000000000ull;
  const uint64_t to1900 = static_cast<uint64_t>(civil::DaysFromCivil(1900, 1, 1) - civil::DaysFromCivil(1601, 1, 1));
  EXPECT_EQ(fileTime(to1900 * kTicksPerDay + 19999999), 2.0 + 1.0 / 86400);  // milliseconds dropped
  const uint64_t to10000 = static_cast<uint64_t>(civil::DaysFromCivil(10000, 1, 1) - civil::DaysFromCivil(1601, 1, 1));
  EXPECT_EQ(fileTime(to10000 * kTicksPerDay - 1), 2958465.0 + 86399.0 / 86400);
  EXPECT_EQ(fileTime(to10000 * kTicksPerDay), kNull);
  EXPECT_EQ(fileTime(1ull << 63), kNull);
}

TEST(DateTimeText, CurrentGlobalTimeInWholeSeconds) {
  double unixEpoch = static_cast<double>(civil::DaysFromCivil(1970, 1, 1) - kEpoch);
  int64_t before = std::time(nullptr);
  double now = GetCurrentGlobalTime();
  int64_t after = std::time(nullptr);
  double seconds = (now - unixEpoch) * 86400.0;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
  EXPECT_GE(std::round(seconds), before);
  EXPECT_LE(std::round(seconds), after);
}

}  // namespace
