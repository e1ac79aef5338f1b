// InitInternational, warm (the locale's values already kept), beside an
// anchor that reads the same values the way an uncached layer would: it
// opens ICU's number, currency and date formatters and the pattern
// generator for the locale and asks each for its symbols and patterns.

#include <benchmark/benchmark.h>
#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/unum.h>

#include "ovpb32.h"

namespace {

void BM_InitInternational(benchmark::State& state) {
  InternationalSettings record;
  InitInternational(&record);
  for (auto _ : state) {
    InitInternational(&record);
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(BM_InitInternational);

void BM_AnchorIcuObjectsPerRead(benchmark::State& state) {
  const char* locale = "en_US";
  UChar text[128];
  for (auto _ : state) {
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* decimal = unum_open(UNUM_DECIMAL, nullptr, 0, locale, nullptr, &status);
    UNumberFormat* currency = unum_open(UNUM_CURRENCY, nullptr, 0, locale, nullptr, &status);
    UNumberFormat* accounting = unum_open(UNUM_CURRENCY_ACCOUNTING, nullptr, 0, locale, nullptr, &status);
    UDateFormat* longDate = udat_open(UDAT_NONE, UDAT_FULL, locale, nullptr, 0, nullptr, 0, &status);
    UDateFormat* shortTime = udat_open(UDAT_SHORT, UDAT_NONE, locale, nullptr, 0, nullptr, 0, &status);
    UDateTimePatternGenerator* generator = udatpg_open(locale, &status);
    for (UNumberFormatSymbol symbol : {UNUM_DECIMAL_SEPARATOR_SYMBOL, UNUM_GROUPING_SEPARATOR_SYMBOL}) {
      unum_getSymbol(decimal, symbol, text, 128, &status);
    }
    for (UNumberFormatSymbol symbol : {UNUM_CURRENCY_SYMBOL, UNUM_MONETARY_SEPARATOR_SYMBOL,
                                       UNUM_MONETARY_GROUPING_SEPARATOR_SYMBOL}) {
      unum_getSymbol(currency, symbol, text, 128, &status);
    }
    benchmark::DoNotOptimize(unum_getAttribute(currency, UNUM_GROUPING_SIZE));
    unum_formatDouble(currency, 1.5, text, 128, nullptr, &status);
    unum_formatDouble(accounting, -1.5, text, 128, nullptr, &status);
    unum_formatDouble(decimal, -1.5, text, 128, nullptr, &status);
    udat_toPattern(longDate, 0, text, 128, &status);
    udat_toPattern(shortTime, 0, text, 128, &status);
    udat_getSymbols(longDate, UDAT_AM_PMS, 0, text, 128, &status);
    udat_getSymbols(longDate, UDAT_AM_PMS, 1, text, 128, &status);
    udatpg_getBestPattern(generator, u"yMd", -1, text, 128, &status);
    benchmark::DoNotOptimize(text);
    udatpg_close(generator);
    udat_close(shortTime);
    udat_close(longDate);
    unum_close(accounting);
    unum_close(currency);
    unum_close(decimal);
  }
}
BENCHMARK(BM_AnchorIcuObjectsPerRead);

}  // namespace

BENCHMARK_MAIN();
