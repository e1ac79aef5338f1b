// Number text to display text and back on typical amounts: the library's
// digit-by-digit engine beside the usual way through a double (strtod,
// snprintf "%.2f" and a grouping loop); currency text in the 3;2 grouping
// beside ICU's decimal formatter with the pattern #,##,##0.00, opened once.

#include <benchmark/benchmark.h>
#include <unicode/unum.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "numbers/number_text.h"
#include "platform/number_format.h"

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

void PlainPath(benchmark::State& state) {
  char out[64];
  size_t i = 0;
  for (auto _ : state) {
    const int length = numbers::FormatPlainNumber(out, Amounts()[i++ & 1023].c_str(), 2, ",", ".", true);
    out[length] = 0;
    benchmark::DoNotOptimize(out);
  }
}

void DatabaseRoundTrip(benchmark::State& state) {
  char database[64], display[64];
  size_t i = 0;
  for (auto _ : state) {
    const std::string& amount = Amounts()[i++ & 1023];
    numbers::ConvertNumberText(database, amount.c_str(), {'.', '.', 2, true});
    numbers::ConvertNumberText(display, database, {'.', ',', 2, true});
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
  CURRENCYFMTA format{2, 1, 32, const_cast<char*>("."), const_cast<char*>(","), 1, 0, const_cast<char*>("")};
  char out[80];
  size_t i = 0;
  for (auto _ : state) {
    platform::GetCurrencyFormatA(0x0439, 0, Amounts()[i++ & 1023].c_str(), &format, out, sizeof out);
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
