// Currency text from plain number text, exactly on the decimal digits (no
// binary floating point), with Windows' grammar, rounding, grouping and
// layouts. ICU's decimal formatter cannot express every grouping Windows
// takes (3 then 2 without repeating, 320), so the digits are laid out here.

#include "platform/number_format.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <locale.h>

#include "platform/posix/icu_locale.h"
#include "platform/system.h"

namespace platform {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct DecimalText {
  bool negative = false;
  std::string integer;   // without leading zeros
  std::string fraction;
};

// An optional '-', digits, at most one '.', digits; nothing else.
bool ParseValue(const char* value, DecimalText& number) {
  const char* p = value;
  if (*p == '-') {
    number.negative = true;
    ++p;
  }
  for (; IsDigit(*p); ++p)
    if (!number.integer.empty() || *p != '0') number.integer.push_back(*p);
  if (*p == '.')
    for (++p; IsDigit(*p); ++p) number.fraction.push_back(*p);
  return *p == 0;
}

// Adds one to the last digit of `digits`, carrying; true when a digit
// carried out of the front.
bool Increment(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

// Half away from zero: the magnitude goes up when the first digit cut is 5
// or more.
void RoundTo(DecimalText& number, size_t digits) {
  const bool up = number.fraction.size() > digits && number.fraction[digits] >= '5';
  number.fraction.resize(digits, '0');
  if (up && Increment(number.fraction) && Increment(number.integer)) number.integer.insert(0, 1, '1');
}

// The group sizes from the right: the Grouping number's decimal digits, the
// last one repeating unless the number ends in 0.
std::string GroupInteger(const std::string& digits, UINT grouping, const char* separator) {
  std::string sizes = std::to_string(grouping);
  const bool repeats = sizes.back() != '0';
  if (!repeats) sizes.pop_back();
  std::string grouped;
  size_t end = digits.size(), group = 0;
  while (end > 0) {
    size_t size = end;
    if (group < sizes.size()) {
      size = static_cast<size_t>(sizes[group++] - '0');
    } else if (repeats && !sizes.empty()) {
      size = static_cast<size_t>(sizes.back() - '0');
    }
    if (size == 0 || size > end) size = end;
    grouped.insert(0, digits, end - size, size);
    end -= size;
    if (end > 0) grouped.insert(0, separator);
  }
  return grouped;
}

// '$' stands for the symbol, 'n' for the number, '-' for the sign.
const char* const kPositiveLayouts[] = {"$n", "n$", "$ n", "n $"};
const char* const kNegativeLayouts[] = {"($n)",  "-$n",  "$-n",  "$n-",  "(n$)",  "-n$",  "n-$",   "n$-",
                                        "-n $",  "-$ n", "n $-", "$ n-", "$ -n",  "n- $", "($ n)", "(n $)"};

// Windows takes at most 9 digits; more are taken here, up to a count whose
// text a caller could still hold.
constexpr UINT kMostDigits = 0xFFFF;

bool FormatIsValid(const CURRENCYFMTA& format) {
  return format.NumDigits <= kMostDigits && format.lpDecimalSep != nullptr && format.lpThousandSep != nullptr &&
         format.lpCurrencySymbol != nullptr && format.PositiveOrder <= 3 && format.NegativeOrder <= 15;
}

bool LocaleIsKnown(LCID locale) {
  if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT) return true;
  char icuId[100];
  return posix::IcuLocaleIdOf(locale, icuId, sizeof icuId);
}

std::string Compose(const DecimalText& number, const CURRENCYFMTA& format) {
  std::string amount = number.integer.empty() ? (format.LeadingZero != 0 ? "0" : "")
                                              : GroupInteger(number.integer, format.Grouping, format.lpThousandSep);
  if (format.NumDigits > 0) amount += format.lpDecimalSep + number.fraction;
  std::string text;
  const char* layout = number.negative ? kNegativeLayouts[format.NegativeOrder] : kPositiveLayouts[format.PositiveOrder];
  for (const char* p = layout; *p != 0; ++p) {
    if (*p == '$') {
      text += format.lpCurrencySymbol;
    } else if (*p == 'n') {
      text += amount;
    } else {
      text += *p;
    }
  }
  return text;
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int GetCurrencyFormatA(LCID locale, DWORD flags, const char* value, const CURRENCYFMTA* format,
                       char* out, int size) {
  if (format != nullptr && flags != 0) return Fail(ERROR_INVALID_FLAGS);
  if (value == nullptr || size < 0 || (out == nullptr && size != 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (format == nullptr || !FormatIsValid(*format)) return Fail(ERROR_INVALID_PARAMETER);
  if (!LocaleIsKnown(locale)) return Fail(ERROR_INVALID_PARAMETER);
  DecimalText number;
  if (!ParseValue(value, number)) return Fail(ERROR_INVALID_PARAMETER);
  RoundTo(number, format->NumDigits);
  const std::string text = Compose(number, *format);
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (needed > size) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

// strtod in a "C" numeric locale of its own, made once, so the host's
// setlocale never changes what a '.' means.
double atof(const char* text) {
  static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  return cLocale != static_cast<locale_t>(0) ? strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
}

}  // namespace platform
