// Number text to display text in the user's style, display text back to a
// double, and the platform's currency and number formats of the user's
// locale.

#include <cstdlib>
#include <cstring>

#include "numbers/number_text.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "platform/number_format.h"
#include "text/toolkit.h"

namespace {

// The platform path's own buffers: 200 bytes of input and of result, 5-byte
// separators read from the locale.
constexpr int kWorkBytes = 200;
constexpr int kSeparatorBytes = 5;
constexpr int kValueChars = 10;

// "" unless the whole value fits: a failed read may leave part of it behind.
void ReadLocaleText(LCID locale, LCTYPE type, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return;
  *buffer = 0;
  if (platform::GetLocaleInfoA(locale, type, buffer, size) == 0) *buffer = 0;
}

UINT ReadLocaleNumber(LCID locale, LCTYPE type) {
  char value[kValueChars] = {};
  platform::GetLocaleInfoA(locale, type, value, kValueChars);
  return static_cast<UINT>(std::atoi(value));
}

UINT ReadLocaleGrouping(LCID locale, LCTYPE type) {
  char pattern[kValueChars] = {};
  platform::GetLocaleInfoA(locale, type, pattern, kValueChars);
  return ConvertGroupPatternToNumber(pattern);
}

// Groupings other than three-digit ones are the platform's to lay out; the
// trimmed text of at most 199 input bytes, or "" and 0 when it refuses.
int FormatThroughPlatform(char* out, const char* number, int decimals, char* thousandSeparator,
                          char* decimalSeparator) {
  CURRENCYFMTA format;
  char symbol[1], localeDecimal[kSeparatorBytes], localeThousand[kSeparatorBytes];
  GetCurrentPrefFmt(&format, symbol, localeDecimal, kSeparatorBytes, localeThousand, kSeparatorBytes);
  format.NumDigits = static_cast<UINT>(decimals);
  format.lpDecimalSep = decimalSeparator;
  format.lpThousandSep = thousandSeparator;
  format.NegativeOrder = 1;
  format.PositiveOrder = 0;

  char input[kWorkBytes], result[kWorkBytes];
  text::lstrncpyA(input, number, kWorkBytes - 1);
  text::str_trimA(input);
  text::str_trim_leftA(input);
  if (platform::GetCurrencyFormatA(platform::GetUserDefaultLCID(), 0, input, &format, result, kWorkBytes) < 1) {
    *out = 0;
    return 0;
  }
  text::str_trimA(result);
  text::str_trim_leftA(result);
  const size_t length = std::strlen(result);
  std::memcpy(out, result, length + 1);
  return static_cast<int>(length);
}

}  // namespace

extern "C" int OVPB_API FormatGeneralNumberEx(char* out, const char* number, int decimals, char* thousandSeparator,
                                              char* decimalSeparator, InternationalSettings* settings) {
  if (settings == nullptr) settings = GetGlobalInternational();
  if (decimalSeparator == nullptr) decimalSeparator = settings->decimalSeparator;
  if (decimals == -1) decimals = settings->currencyDigits;
  if (decimals == -2) decimals = settings->numberDigits;
  if (thousandSeparator != nullptr && *thousandSeparator != 0 && settings->grouping != 3)
    return FormatThroughPlatform(out, number, decimals, thousandSeparator, decimalSeparator);
  return numbers::FormatPlainNumber(out, number, decimals, thousandSeparator, decimalSeparator,
                                    settings->leadingZero != 0);
}

extern "C" int OVPB_API FormatGeneralNumber(char* out, const char* number, int decimals, char* thousandSeparator,
                                            char* decimalSeparator) {
  return FormatGeneralNumberEx(out, number, decimals, thousandSeparator, decimalSeparator, GetGlobalInternational());
}

extern "C" int OVPB_API FormatAnyNumber(char* out, const char* number, int decimals, BOOL group) {
  InternationalSettings* settings = GetGlobalInternational();
  return FormatGeneralNumberEx(out, number, decimals, group ? settings->thousandsSeparator : nullptr,
                               settings->decimalSeparator, settings);
}

extern "C" int OVPB_API FormatNumber(char* out, const char* number, int unused, BOOL currencyDigits, BOOL group) {
  return FormatAnyNumber(out, number, currencyDigits ? -1 : 0, group);
}

extern "C" int OVPB_API FormatDecimal(char* out, const char* number, int decimals) {
  InternationalSettings* settings = GetGlobalInternational();
  const int length = FormatGeneralNumberEx(out, number, decimals, settings->thousandsSeparator,
                                           settings->decimalSeparator, settings);
  out[length] = 0;
  return length;
}

extern "C" void OVPB_API GetCurrentPrefFmt(CURRENCYFMTA* format, char* symbol, char* decimalSeparator,
                                           int decimalSize, char* thousandSeparator, int thousandSize) {
  const LCID locale = platform::GetUserDefaultLCID();
  *symbol = 0;
  format->lpCurrencySymbol = symbol;
  ReadLocaleText(locale, LOCALE_SMONDECIMALSEP, decimalSeparator, decimalSize);
  format->lpDecimalSep = decimalSeparator;
  ReadLocaleText(locale, LOCALE_SMONTHOUSANDSEP, thousandSeparator, thousandSize);
  format->lpThousandSep = thousandSeparator;
  format->Grouping = ReadLocaleGrouping(locale, LOCALE_SMONGROUPING);
  format->NumDigits = ReadLocaleNumber(locale, LOCALE_ICURRDIGITS);
  format->PositiveOrder = ReadLocaleNumber(locale, LOCALE_ICURRENCY);
  format->NegativeOrder = ReadLocaleNumber(locale, LOCALE_INEGCURR);
  format->LeadingZero = ReadLocaleNumber(locale, LOCALE_ILZERO);
}

extern "C" void OVPB_API GetNumberPrefFmt(NUMBERFMTA* format, char* decimalSeparator, int decimalSize,
                                          char* thousandSeparator, int thousandSize, BOOL withGrouping) {
  const LCID locale = platform::GetUserDefaultLCID();
  ReadLocaleText(locale, LOCALE_SDECIMAL, decimalSeparator, decimalSize);
  format->lpDecimalSep = decimalSeparator;
  ReadLocaleText(locale, LOCALE_STHOUSAND, thousandSeparator, thousandSize);
  format->lpThousandSep = thousandSeparator;
  format->Grouping = withGrouping ? ReadLocaleGrouping(locale, LOCALE_SGROUPING) : 0;
  format->NumDigits = ReadLocaleNumber(locale, LOCALE_IDIGITS);
  format->NegativeOrder = ReadLocaleNumber(locale, LOCALE_INEGNUMBER);
  format->LeadingZero = ReadLocaleNumber(locale, LOCALE_ILZERO);
}

extern "C" double OVPB_API OVStr2Dbl(const char* text) {
  return numbers::DisplayTextToDouble(text, GetGlobalInternational()->decimalSeparator[0]);
}

extern "C" int OVPB_API isvalidmoney(const char* text, char* list) {
  CURRENCYFMTA format;
  char symbol[1], decimalSeparator[kSeparatorBytes], thousandSeparator[kSeparatorBytes];
  GetCurrentPrefFmt(&format, symbol, decimalSeparator, kSeparatorBytes, thousandSeparator, kSeparatorBytes);
  return numbers::CheckMoneyText(text, list, decimalSeparator, thousandSeparator);
}
