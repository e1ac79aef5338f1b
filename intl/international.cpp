// The international settings record: the user's regional style gathered
// once, with a default for every value the locale does not give, and the
// two formatting descriptions that point into the global copy.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ovpb32.h"
#include "platform/locale.h"
#include "platform/profile.h"

namespace intl {
namespace {

// The module-wide record and formats; zero until the first fill. Set at
// start-up, before other threads format (no lock, as documented).
struct GlobalInternational {
  InternationalSettings record;
  CURRENCYFMTA currencyFormat;
  NUMBERFMTA numberFormat;
};
GlobalInternational global;

template <size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text);
}

int ReadNumber(LCID locale, LCTYPE type, int fallback) {
  char text[256];
  return platform::GetLocaleInfoA(locale, type, text, sizeof text) != 0 ? std::atoi(text) : fallback;
}

// A value that fits its field, else the fallback.
template <size_t N>
void ReadText(LCID locale, LCTYPE type, char (&field)[N], const char* fallback) {
  if (platform::GetLocaleInfoA(locale, type, field, static_cast<int>(N)) == 0) CopyText(field, fallback);
}

// A monetary separator that does not fit in one byte: a space stays a space,
// anything else gives the fallback.
template <size_t N>
void ReadMonetarySeparator(LCID locale, LCTYPE type, char (&field)[N], const char* fallback) {
  if (platform::GetLocaleInfoA(locale, type, field, static_cast<int>(N)) != 0) return;
  WCHAR wide[8] = {};
  bool space = platform::GetLocaleInfoW(locale, type, wide, 8) == 2 &&
               (wide[0] == 0x0020 || wide[0] == 0x00A0 || wide[0] == 0x202F || wide[0] == 0x2009);
  CopyText(field, space ? " " : fallback);
}

unsigned int ReadGrouping(LCID locale) {
  char pattern[40];
  if (platform::GetLocaleInfoA(locale, LOCALE_SMONGROUPING, pattern, sizeof pattern) == 0) return 0;
  return ConvertGroupPatternToNumber(pattern);
}

// The modes that put a negative amount in parentheses.
bool UsesParentheses(int negativeCurrencyMode) {
  return negativeCurrencyMode == 0 || negativeCurrencyMode == 4 || negativeCurrencyMode == 14 ||
         negativeCurrencyMode == 15;
}

void FillFormats(int negativeCurrencyMode) {
  InternationalSettings& record = global.record;
  global.currencyFormat.NumDigits = static_cast<UINT>(record.currencyDigits);
  global.currencyFormat.LeadingZero = static_cast<UINT>(record.leadingZero);
  global.currencyFormat.Grouping = record.grouping;
  global.currencyFormat.lpDecimalSep = record.decimalSeparator;
  global.currencyFormat.lpThousandSep = record.thousandsSeparator;
  global.currencyFormat.NegativeOrder = static_cast<UINT>(negativeCurrencyMode);
  global.currencyFormat.PositiveOrder = static_cast<UINT>(record.currencyPosition);
  global.currencyFormat.lpCurrencySymbol = record.currencySymbol;
  global.numberFormat.NumDigits = static_cast<UINT>(record.numberDigits);
  global.numberFormat.LeadingZero = static_cast<UINT>(record.leadingZero);
  global.numberFormat.Grouping = 0;
  global.numberFormat.lpDecimalSep = record.decimalSeparator;
  global.numberFormat.lpThousandSep = record.thousandsSeparator;
  global.numberFormat.NegativeOrder = static_cast<UINT>(record.negativeNumberOrder);
}

}  // namespace
}  // namespace intl

extern "C" void OVPB_API InitInternational(InternationalSettings* settings) {
  if (settings == nullptr) return;
  InternationalSettings& record = *settings;
  std::memset(&record, 0, sizeof record);
  const LCID locale = platform::GetUserDefaultLCID();
  platform::GetProfileStringA("Orvanta", "terms", "", record.terms, sizeof record.terms);

  record.countryCode = intl::ReadNumber(locale, LOCALE_ICOUNTRY, 2);
  record.dateOrder = intl::ReadNumber(locale, LOCALE_IDATE, 2);
  record.clock24 = intl::ReadNumber(locale, LOCALE_ITIME, 1);
  record.timeLeadingZero = intl::ReadNumber(locale, LOCALE_ITLZERO, 1);
  record.currencyPosition = intl::ReadNumber(locale, LOCALE_ICURRENCY, 0);
  record.currencyDigits = intl::ReadNumber(locale, LOCALE_ICURRDIGITS, 2);
  const int negativeCurrencyMode = intl::ReadNumber(locale, LOCALE_INEGCURR, 0);
  record.negativeMoneySign = intl::UsesParentheses(negativeCurrencyMode) ? 0 : 1;
  record.negativeNumberOrder = intl::ReadNumber(locale, LOCALE_INEGNUMBER, 1);
  record.leadingZero = intl::ReadNumber(locale, LOCALE_ILZERO, 1);
  record.numberDigits = intl::ReadNumber(locale, LOCALE_IDIGITS, 2);
  record.measurement = intl::ReadNumber(locale, LOCALE_IMEASURE, 0);

  intl::ReadText(locale, LOCALE_S1159, record.morning, "");
  intl::ReadText(locale, LOCALE_S2359, record.afternoon, "hrs.");
  intl::ReadText(locale, LOCALE_SCURRENCY, record.currencySymbol, "$");
  intl::ReadMonetarySeparator(locale, LOCALE_SMONTHOUSANDSEP, record.thousandsSeparator, "");
  record.grouping = intl::ReadGrouping(locale);
  intl::ReadMonetarySeparator(locale, LOCALE_SMONDECIMALSEP, record.decimalSeparator, ".");
  intl::ReadText(locale, LOCALE_SDATE, record.dateSeparator, "-");
  intl::ReadText(locale, LOCALE_STIME, record.timeSeparator, ":");
  intl::ReadText(locale, LOCALE_SLIST, record.listSeparator, ",");
  intl::ReadText(locale, LOCALE_SSHORTDATE, record.shortDate, ":");
  intl::ReadText(locale, LOCALE_SLONGDATE, record.longDate, ":");

  GetCharSetFromCodePage(record.charsetName, -1);
  intl::global.record = record;
  intl::FillFormats(negativeCurrencyMode);
}

extern "C" InternationalSettings* OVPB_API GetGlobalInternational(void) { return &intl::global.record; }

extern "C" void OVPB_API GetDefaultCurrencyFormat(CURRENCYFMTA* format) {
  if (format != nullptr) *format = intl::global.currencyFormat;
}

extern "C" void OVPB_API GetDefaultNumberFormat(NUMBERFMTA* format) {
  if (format != nullptr) *format = intl::global.numberFormat;
}

// Digits 1 to 9 add a decimal place; a '0' before ';', or any other last
// character, shifts one more.
extern "C" unsigned int OVPB_API ConvertGroupPatternToNumber(const char* pattern) {
  unsigned int number = 0;
  for (const char* at = pattern; at != nullptr && *at != 0; ++at) {
    const char c = *at, next = at[1];
    if (c >= '1' && c <= '9') number = 10 * number + static_cast<unsigned int>(c - '0');
    if ((c == '0' && next == ';') || (c != '0' && next == 0)) number *= 10;
  }
  return number;
}
