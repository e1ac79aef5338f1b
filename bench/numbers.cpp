// Number text to display text and back on typical amounts: the formatter's
// own path and MoneyToDB + DBToMoney beside the usual way through a double
// (strtod, snprintf "%.2f" and a grouping loop); the platform's path for a
// 3;2 grouping (run with LC_ALL=hi_IN.UTF-8) beside ICU's decimal formatter
// with the pattern #,##,##0.00, opened once.

#include <benchmark/benchmark.h>
#include <unicode/unum.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ovpb32.h"

namespace {

const std::vector<std::string>& Amounts() {
  static const std::vector<std::string> amounts = [] {
    std::vector<std::string> texts;
    std::mt19937 random(2024);
    for (int i = 0; i < 1024; ++i) {
      const long cents = static_cast<long>(random() % 100000000);
      texts.push_back((i % 5 == 0 ? "-" : "") + std::to_string(cents / 100) + "." + std::to_string(cents % 100 + 100).substr(1) +
                      std::to_string(random() % 10));
    }
    return texts;
  }();
  return amounts;
}

InternationalSettings Record(unsigned grouping) {
  InternationalSettings record{};
  std::strcpy(record.decimalSeparator, ".");
  std::strcpy(record.thousandsSeparator, ",");
  record.leadingZero = 1;
  record.currencyDigits = 2;
  record.grouping = grouping;
  return record;
}

void PlainPath(benchmark::State& state) {
  InternationalSettings record = Record(3);
  char out[64];
  size_t i = 0;
  for (auto _ : state) {
    const int length = FormatGeneralNumberEx(out, Amounts()[i++ & 1023].c_str(), 2, record.thousandsSeparator,
                                             nullptr, &record);
    out[length] = 0;
    benchmark::DoNotOptimize(out);
  }
}

void DatabaseRoundTrip(benchmark::State& state) {
  *GetGlobalInternational() = Record(3);
  char database[64], display[64];
  size_t i = 0;
  for (auto _ : state) {
    MoneyToDB(database, Amounts()[i++ & 1023].c_str());
    DBToMoney(display, database);
    benchmark::DoNotOptimize(display);
  }
}

// The anchor: through a double, then grouped by hand.
void ThroughDouble(benchmark::State& state) {
  char plain[64], out[80];
  size_t i = 0;
  for (auto _ : state) {
    const double value = std::strtod(Amounts()[i++ & 1023].c_str(), nullptr);
    const int length = std::snprintf(plain, sizeof plain, "%.2f", value);
    const char* digits = plain + (plain[0] == '-');
    const int integerDigits = static_cast<int>(std::strchr(digits, '.') - digits);
    char* o = out;
    if (digits != plain) *o++ = '-';
    for (int d = 0; d < integerDigits; ++d) {
      *o++ = digits[d];
      if ((integerDigits - d - 1) % 3 == 0 && d + 1 < integerDigits) *o++ = ',';
    }
    std::memcpy(o, digits + integerDigits, static_cast<size_t>(length - integerDigits - (digits - plain)) + 1);
    benchmark::DoNotOptimize(out);
  }
}

void IndianGroupingPlatform(benchmark::State& state) {
  InternationalSettings record = Record(32);
  char out[200];
  size_t i = 0;
  for (auto _ : state) {
    FormatGeneralNumberEx(out, Amounts()[i++ & 1023].c_str(), 2, record.thousandsSeparator, nullptr, &record);
    benchmark::DoNotOptimize(out);
  }
}

void IndianGroupingIcu(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  const UChar pattern[] = u"#,##,##0.00";
  UNumberFormat* format = unum_open(UNUM_PATTERN_DECIMAL, pattern, -1, "en_IN", nullptr, &status);
  unum_setAttribute(format, UNUM_ROUNDING_MODE, UNUM_ROUND_HALFUP);
  UChar out[80];
  size_t i = 0;
  for (auto _ : state) {
    status = U_ZERO_ERROR;
    const std::string& amount = Amounts()[i++ & 1023];
    unum_formatDecimal(format, amount.c_str(), static_cast<int32_t>(amount.size()), out, 80, nullptr, &status);
    benchmark::DoNotOptimize(out);
  }
  unum_close(format);
}

}  // namespace

BENCHMARK(PlainPath);
BENCHMARK(DatabaseRoundTrip);
BENCHMARK(ThroughDouble);
BENCHMARK(IndianGroupingPlatform);
BENCHMARK(IndianGroupingIcu);
BENCHMARK_MAIN();
