// Day numbers, date-time text and time zones, checked against an independent (era-based) civil-date
// computation; date formats and masks, checked against Windows' answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "datetime/date_formats.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/date_format.h"
#include "platform/string_table.h"
#include "platform/system.h"
#include "support/guarded_memory.h"
#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

// The fields (8 at least) of date_cases.txt's lines in `section`, ^ made the marker byte.
std::vector<std::vector<std::string>> Cases(const std::string& section) {
  std::vector<std::vector<std::string>> cases;
  for (auto& c : testing_support::ReadTable(testing_support::ProgramDirectory() / "date_cases.txt", '\t')) {
    for (std::string& field : c) std::replace(field.begin(), field.end(), '^', '\1');
    c.resize(std::max<size_t>(c.size(), 8));
    if (c[0] == section) cases.push_back(c);
  }
  EXPECT_FALSE(cases.empty()) << section;
  return cases;
}

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

// The date of `days` to its number and back.
void ExpectBothWays(int64_t days) {
  int64_t y;
  unsigned m, d;
  CivilFromDays(days, &y, &m, &d);
  int number = DayNumber(d, m, static_cast<int>(y)), back[3];
  ASSERT_EQ(number, static_cast<int32_t>(days - kDayZero)) << y << "-" << m << "-" << d;
  JulianToDate(number, &back[0], &back[1], &back[2]);
  ASSERT_TRUE(back[0] == static_cast<int>(d) && back[1] == static_cast<int>(m) && back[2] == y) << number;
}

TEST(DayNumbers, EveryDateFrom1900To9999RandomYearsInvalidDatesAndExtremeArguments) {
  for (int64_t days = DaysFromCivil(1900, 1, 1); days <= DaysFromCivil(9999, 12, 31); ++days) ExpectBothWays(days);
  std::mt19937_64 random(14);
  std::uniform_int_distribution<int64_t> day(DaysFromCivil(1900, 1, 1), DaysFromCivil(1000000, 12, 31));
  for (int i = 0; i < 200000; ++i) ExpectBothWays(day(random));
  // Invalid dates give 0; extreme arguments stay defined (UBSan watches), valid ones cut to 32 bits.
  for (const auto& c : Cases("invalid")) EXPECT_EQ(DayNumber(std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3])), 0) << c[3];
  int d, m, y;
  JulianToDate(-693960, &d, &m, &y);
  EXPECT_TRUE(d == 1 && m == 3 && y == 0);
  const int extremes[] = {INT_MIN, -1, 0, 1, INT_MAX};
  for (int i = 0; i < 125; ++i) {
    int a = extremes[i % 5], b = extremes[i / 5 % 5], c = extremes[i / 25];
    EXPECT_EQ(DayNumber(a, b, c), a == 1 && b == 1 && c >= 1900 ? int32_t(DaysFromCivil(c, 1, 1) - kDayZero) : 0);
    JulianToDate(a, &d, &m, &y);
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

// Edge values; random values 0.05 s or more from a rounding edge, back and forth through the text from
// year 100; fields at fixed places; file times and the clock.
TEST(DateTimeText, EdgeAndRandomValuesFieldsFileTimesAndTheClock) {
  for (const auto& c : Cases("text")) EXPECT_EQ(Text(std::stod(c[1]), c[2] == "1"), c[3]) << c[1];
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
    if (y > 100 || m > 1 || d > 1 || second > 0) {  // 1/1/100 0:00 is null
      ASSERT_EQ(Text(Value(expected)), expected);
    }
  }
  for (const auto& c : Cases("fields")) EXPECT_NEAR(Value(c[1], c[2] == "1"), std::stod(c[3]), 1e-9) << c[1];
  auto fromFileTime = [](int64_t days, int64_t ticks) {
    uint64_t time = (days - DaysFromCivil(1601, 1, 1)) * 864000000000ull + ticks;
    FILETIME file{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    return FileTimeToDateTime(&file);
  };
  EXPECT_EQ(fromFileTime(DaysFromCivil(1900, 1, 1), 19999999), 2 + 1 / 86400.0);  // milliseconds dropped
  EXPECT_EQ(fromFileTime(DaysFromCivil(10000, 1, 1), -1), 2958465 + 86399 / 86400.0);
  EXPECT_EQ(fromFileTime(DaysFromCivil(10000, 1, 1), 0), kNull);
  EXPECT_EQ(fromFileTime(DaysFromCivil(1601, 1, 1), INT64_MIN), kNull);  // the top bit
  int64_t before = std::time(nullptr);
  double seconds = (GetCurrentGlobalTime() - (DaysFromCivil(1970, 1, 1) - kEpoch)) * 86400.0;
  int64_t after = std::time(nullptr);
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
  EXPECT_TRUE(std::round(seconds) >= before && std::round(seconds) <= after);
}

// The offset a fresh process takes under the zone, and whether its racing threads agree.
std::string OffsetUnder(const char* zone) {
  testing_support::SetEnvironment("TZ", zone);
  return testing_support::HelperProcess({"time-zone"}).ReadLine();
}

TEST(TimeZone, FixedZonesAndTheOffsetInForceNow) {
  for (auto [zone, offset] : {std::pair{"UTC0", "0 agree"}, {"XST5", "300 agree"}, {"XST-5:30", "-330 agree"}})
    EXPECT_EQ(OffsetUnder(zone), offset);
#ifndef _WIN32
  for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "Europe/Dublin"}) {  // shifts of 1, 0.5, -1 h
    std::string offset = OffsetUnder(zone);
    tzset();
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    EXPECT_EQ(offset, std::to_string(-local.tm_gmtoff / 60) + " agree") << zone;
  }
#endif
}

std::string Date(void (*format)(int, char*, int, int), int number, int primary, int sub) {
  char ansi[255];
  format(number, ansi, primary, sub);
  WideString wide(256, 0);
  wide.resize(platform::MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], 256) - 1);
  return testing_support::ToUtf8(wide);
}

// The user's locale is en-US: Wine's, and the POSIX layer's, in the C locale.
TEST(DateFormats, LocaleChoiceOfTheExForms) {
  for (auto c : Cases("ex")) {
    int number = std::stoi(c[1]), primary = std::stoi(c[2]), sub = std::stoi(c[3]);
    EXPECT_EQ(Date(OVGetDateFormatEx, number, primary, sub), c[4]) << c[1] << " " << c[2] << "/" << c[3];
    if (c[5] != "-") {
      EXPECT_EQ(Date(OVGetShortDateFormatEx, number, primary, sub), c[5]) << c[1];
    }
  }
  if (platform::GetACP() == 65001) {  // ICU's narrow no-break space
    EXPECT_EQ(Date(OVGetDateFormatEx, 36894, 0x19, 0), "5 марта 2001\u202Fг.");
  }
}

struct PinnedShortDate : ::testing::Test {
  const char* previous = nullptr;
  void Pin(const char* pattern) { previous = datetime::SetShortDatePatternForTesting(pattern); }
  void TearDown() override { datetime::SetShortDatePatternForTesting(previous); }
};

TEST_F(PinnedShortDate, PatternsAndMasks) {
  for (const auto& c : Cases("mask")) {
    Pin(c[1] == "(locale)" ? nullptr : c[1].c_str());
    testing_support::GuardedBytes out(100);  // nothing written past 100 bytes
    char* text = reinterpret_cast<char*>(out.data());
    OVGetShortDateEditMask(text, '/');
    EXPECT_EQ(text, c[4]) << c[1];
    OVGetShortDatePrefMask(text, '/');
    EXPECT_EQ(text, c[5]) << c[1];
    const int numbers[] = {-2, -1, -59, 36894}, expected[] = {2, 3, 3, 6};
    for (int i = 0; i < 4; ++i) {
      OVGetShortDatePrefFormat(numbers[i], text);
      EXPECT_EQ(text, c[expected[i]]) << c[1] << " " << numbers[i];
    }
  }
}

// Locales enter the platform's caches from several threads at once.
TEST(DateFormats, ThreadsAgreeWithOneThread) {
  auto formatAll = [](int t) {
    std::vector<std::string> texts;
    for (int language : {9, 7, 0xC, 0x11, 0x19, 0x10, 0x0A, 0x16, 0x13, 0x7F}) {
      for (int number = 30000 + t; number < 50000; number += 499) {
        char text[255];
        OVGetDateFormatEx(number, text, language, 1 + (t + number) % 3);
        texts.push_back(text);
      }
    }
    return texts;
  };
  std::vector<std::vector<std::string>> answers(8);
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([&, t] { answers[t] = formatAll(t); });
  for (testing_support::TestThread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(answers[t], formatAll(t)) << t;
}

TEST(DatePlatform, FormatFailuresSizesAndStrings) {
  const WORD dates[][3] = {{30827, 12, 31}, {1600, 12, 31}, {2001, 13, 1}, {2001, 4, 31}, {2001, 0, 1}};
  SYSTEMTIME date[5];
  for (int i = 0; i < 5; ++i) date[i] = {dates[i][0], dates[i][1], 0, dates[i][2], 0, 0, 0, 0};
  char text[16];
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", nullptr, 0), 12);  // "31/12/30827"
  EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[0], "d/M/yyyy", text, 11), 0);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
#ifndef _WIN32  // Wine 8 writes '' outside quotes as nothing
  EXPECT_TRUE(platform::GetDateFormatA(0x0409, 0, &date[0], "d '' M", text, 8) == 8 && std::string(text) == "31 ' 12");
#endif
  for (int i = 1; i < 5; ++i) {
    EXPECT_EQ(platform::GetDateFormatA(0x0409, 0, &date[i], "d", text, 8), 0) << i;
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9068, text, 2), 1);  // size-1 characters at most
  EXPECT_STREQ(text, "d");
  EXPECT_EQ(platform::LoadStringA(frame::ModuleInstance(), 9071, text, sizeof text), 0);
}

// The child writes the recording's lines in its order. Windows wrote Russian in code page 1251, which has no narrow
// no-break space ('?'); Wine writes the era once per g, where Windows writes it once per run of g.
TEST(RecordedDates, PlatformWritesWhatWindowsWrote) {
  std::ifstream file(testing_support::ProgramDirectory() / "wine_dates.txt");
  testing_support::HelperProcess child({"date-formats"});
  for (std::string line; std::getline(file, line);) {
    if (line[0] == '#') continue;
    std::string written = child.ReadLine();
    for (size_t at; (at = written.find("\u202F")) != std::string::npos;) written.replace(at, 3, "?");
    bool eraTwice = line.find("\t'It''s' dd-MMM-yy gg\t") != std::string::npos && line.rfind(written, 0) == 0;
    ASSERT_TRUE(written == line || eraTwice) << "Windows: " << line << "\nhere:    " << written;
  }
  child.Finish();
}

}  // namespace
