// Day numbers, short dates and date-time text, each beside an anchor doing
// the same work another way: the era-based civil-date algorithm, ICU's
// SimpleDateFormat made once, snprintf of fields from that algorithm.

#include <benchmark/benchmark.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/ucnv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "bench/civil.h"

namespace {

using civil::CivilFromDays;
using civil::DaysFromCivil;

const int64_t kDayZero = DaysFromCivil(1900, 3, 1);
constexpr int kFirstDay = 0, kDays = 2958404;  // 1 March 1900 to 31 December 9999
constexpr int kStride = 997;

void Check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "%s: the library and the anchor disagree\n", what);
    std::abort();
  }
}

void LibraryDayNumbers(benchmark::State& state) {
  int number = kFirstDay;
  for (auto _ : state) {
    int day, month, year, back;
    JulianToDate(number, &day, &month, &year);
    DateToJulian(&back, day, month, year);
    benchmark::DoNotOptimize(back);
    number = (number + kStride) % kDays;
  }
}

void AnchorDayNumbers(benchmark::State& state) {
  int number = kFirstDay;
  for (auto _ : state) {
    int64_t year;
    unsigned month, day;
    CivilFromDays(number + kDayZero, &year, &month, &day);
    int64_t back = DaysFromCivil(year, month, day) - kDayZero;
    benchmark::DoNotOptimize(back);
    number = (number + kStride) % kDays;
  }
  int64_t year;
  unsigned month, day;
  CivilFromDays(12345 + kDayZero, &year, &month, &day);
  int libraryDay, libraryMonth, libraryYear;
  JulianToDate(12345, &libraryDay, &libraryMonth, &libraryYear);
  Check(libraryYear == year && libraryMonth == static_cast<int>(month) && libraryDay == static_cast<int>(day),
        "day numbers");
}

// Short dates of the user's locale, over a spread of days from 1900 on.
void LibraryShortDate(benchmark::State& state) {
  int number = kFirstDay;
  char text[255];
  for (auto _ : state) {
    OVGetShortDateFormat(number, text);
    benchmark::DoNotOptimize(text);
    number = (number + kStride) % kDays;
  }
}

void AnchorShortDate(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat format(icu::UnicodeString(u"M/d/yyyy"), icu::Locale("en_US"), status);
  format.adoptTimeZone(icu::TimeZone::createTimeZone(u"UTC"));
  UConverter* converter = ucnv_open("windows-1252", &status);
  if (U_FAILURE(status)) {
    state.SkipWithError("ICU");
    return;
  }
  const double kMillisecondsPerDay = 86400000.0;
  const double kUnixDayOfDayZero = static_cast<double>(kDayZero);
  int number = kFirstDay;
  char text[255];
  for (auto _ : state) {
    icu::UnicodeString formatted;
    format.format((number + kUnixDayOfDayZero) * kMillisecondsPerDay, formatted);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_fromUChars(converter, text, sizeof text, formatted.getBuffer(), formatted.length(), &error);
    benchmark::DoNotOptimize(text);
    number = (number + kStride) % kDays;
  }
  char library[255];
  OVGetShortDateFormat(36894, library);
  icu::UnicodeString formatted;
  format.format((36894 + kUnixDayOfDayZero) * kMillisecondsPerDay, formatted);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_fromUChars(converter, text, sizeof text, formatted.getBuffer(), formatted.length(), &error);
  ucnv_close(converter);
  Check(std::strcmp(library, text) == 0, "short dates (run in an en-US locale)");
}

void LibraryDateTimeText(benchmark::State& state) {
  double value = 1.0;
  char text[15];
  for (auto _ : state) {
    DateTimeToStringA(value, text, FALSE);
    benchmark::DoNotOptimize(text);
    value += 12.3456789;
    if (value > 2958000) value = 1.0;
  }
}

// Positive values only, so the anchor's rounding is the plain one; text holds 32.
void AnchorText(double value, char* text) {
  static const int64_t kEpoch = DaysFromCivil(1899, 12, 30);
  double rounded = value + 0.5 / 86400;
  int64_t days = static_cast<int64_t>(rounded);
  int seconds = static_cast<int>((rounded - days) * 86400);
  int64_t year;
  unsigned month, day;
  CivilFromDays(days + kEpoch, &year, &month, &day);
  std::snprintf(text, 32, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d", static_cast<int>(year), month, day, seconds / 3600,
                seconds / 60 % 60, seconds % 60);
}

void AnchorDateTimeText(benchmark::State& state) {
  double value = 1.0;
  char text[32];
  for (auto _ : state) {
    AnchorText(value, text);
    benchmark::DoNotOptimize(text);
    value += 12.3456789;
    if (value > 2958000) value = 1.0;
  }
  char library[15];
  DateTimeToStringA(36526.75, library, FALSE);
  AnchorText(36526.75, text);
  Check(std::strcmp(library, text) == 0, "date-time text");
}

BENCHMARK(LibraryDayNumbers);
BENCHMARK(AnchorDayNumbers);
BENCHMARK(LibraryShortDate);
BENCHMARK(AnchorShortDate);
BENCHMARK(LibraryDateTimeText);
BENCHMARK(AnchorDateTimeText);

}  // namespace

BENCHMARK_MAIN();
