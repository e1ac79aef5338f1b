// The values of a locale (GetLocaleInfo) on POSIX: read from ICU's data once
// per locale and kept; what ICU has no datum for is derived as documented
// beside each value.

#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>
#include <unicode/unum.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/posix/icu_locale.h"
#include "platform/system.h"

namespace platform {
namespace {

using Text = std::u16string;

Text Ascii(const std::string& text) { return Text(text.begin(), text.end()); }
Text Decimal(long value) { return Ascii(std::to_string(value)); }

// ICU's answers into a string: every getter takes a buffer and a capacity.
template <typename Getter>
Text IcuText(Getter getter) {
  UChar buffer[256];
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = getter(buffer, 256, &status);
  if (U_FAILURE(status) || length < 0 || length >= 256) return Text();
  return Text(buffer, static_cast<size_t>(length));
}

struct NumberFormatCloser {
  void operator()(UNumberFormat* format) const { unum_close(format); }
};
struct DateFormatCloser {
  void operator()(UDateFormat* format) const { udat_close(format); }
};
using NumberFormat = std::unique_ptr<UNumberFormat, NumberFormatCloser>;
using DateFormat = std::unique_ptr<UDateFormat, DateFormatCloser>;

NumberFormat OpenNumberFormat(UNumberFormatStyle style, const char* icuId) {
  UErrorCode status = U_ZERO_ERROR;
  NumberFormat format(unum_open(style, nullptr, 0, icuId, nullptr, &status));
  return U_SUCCESS(status) ? std::move(format) : nullptr;
}

DateFormat OpenDateFormat(UDateFormatStyle time, UDateFormatStyle date, const char* icuId) {
  UErrorCode status = U_ZERO_ERROR;
  DateFormat format(udat_open(time, date, icuId, nullptr, 0, nullptr, 0, &status));
  return U_SUCCESS(status) ? std::move(format) : nullptr;
}

Text Symbol(UNumberFormat* format, UNumberFormatSymbol symbol) {
  return IcuText([&](UChar* buffer, int32_t size, UErrorCode* status) {
    return unum_getSymbol(format, symbol, buffer, size, status);
  });
}

Text Formatted(UNumberFormat* format, double value) {
  return IcuText([&](UChar* buffer, int32_t size, UErrorCode* status) {
    return unum_formatDouble(format, value, buffer, size, nullptr, status);
  });
}

Text Pattern(UDateFormat* format) {
  return IcuText([&](UChar* buffer, int32_t size, UErrorCode* status) {
    return udat_toPattern(format, FALSE, buffer, size, status);
  });
}

// ---- Dates: ICU pattern letters in Windows' letters ------------------------

bool IsPatternLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

Text WindowsField(char16_t letter, size_t count) {
  auto repeat = [](char16_t c, size_t n) { return Text(n, c); };
  switch (letter) {
    case u'y': return count == 2 ? u"yy" : u"yyyy";
    case u'M': case u'L': return repeat(u'M', std::min<size_t>(count, 4));
    case u'd': case u'h': case u'H': case u'm': case u's': return repeat(letter, std::min<size_t>(count, 2));
    case u'K': return repeat(u'h', std::min<size_t>(count, 2));
    case u'k': return repeat(u'H', std::min<size_t>(count, 2));
    case u'E': case u'c': case u'e': return count >= 4 ? u"dddd" : u"ddd";
    case u'G': return u"gg";
    case u'a': case u'b': case u'B': return u"tt";
    default: return Text();  // time zones, weeks and the like have no Windows letter
  }
}

Text WindowsPattern(const Text& icu) {
  Text out;
  for (size_t i = 0; i < icu.size();) {
    if (icu[i] == u'\'') {
      size_t end = icu.find(u'\'', i + 1);
      end = end == Text::npos ? icu.size() : end + 1;
      out += icu.substr(i, end - i);
      i = end;
    } else if (IsPatternLetter(icu[i])) {
      size_t end = i;
      while (end < icu.size() && icu[end] == icu[i]) ++end;
      out += WindowsField(icu[i], end - i);
      i = end;
    } else {
      // Newer data puts a narrow no-break space before the day period;
      // Windows' patterns have a plain one.
      bool beforeDayPeriod = icu[i] == 0x202F && i + 1 < icu.size() && icu[i + 1] == u'a';
      out += beforeDayPeriod ? u' ' : icu[i];
      ++i;
    }
  }
  return out;
}

// The text between the first field and the next one, quotes kept.
Text SeparatorAfterFirstField(const Text& pattern) {
  size_t i = 0;
  while (i < pattern.size() && !IsPatternLetter(pattern[i])) ++i;
  if (i == pattern.size()) return Text();
  char16_t letter = pattern[i];
  while (i < pattern.size() && pattern[i] == letter) ++i;
  Text separator;
  bool quoted = false;
  for (; i < pattern.size() && (quoted || !IsPatternLetter(pattern[i])); ++i) {
    if (pattern[i] == u'\'') quoted = !quoted;
    separator += pattern[i];
  }
  return separator;
}

size_t FirstOf(const Text& pattern, char16_t letter) {
  size_t at = pattern.find(letter);
  return at == Text::npos ? pattern.size() : at;
}

// 0 month-day-year, 1 day-month-year, 2 year-month-day.
int DateOrder(const Text& shortDate) {
  size_t year = FirstOf(shortDate, u'y'), month = FirstOf(shortDate, u'M'), day = FirstOf(shortDate, u'd');
  if (year < month && year < day) return 2;
  return day < month ? 1 : 0;
}

// ---- Numbers: where the sign, the symbol and the spaces go ----------------

bool IsSpace(char16_t c) { return u_isUWhiteSpace(c) || c == 0x00A0 || c == 0x202F; }

// A formatted amount as a shape: N the number, S the symbol, '-' the sign,
// ' ' any space, the parentheses; marks of direction and the like go.
std::string Shape(const Text& text, const Text& symbol, const Text& minus) {
  std::string shape;
  for (size_t i = 0; i < text.size();) {
    char16_t c = text[i];
    bool inNumber = !shape.empty() && shape.back() == 'N' && i + 1 < text.size() && u_isdigit(text[i + 1]);
    if (!symbol.empty() && text.compare(i, symbol.size(), symbol) == 0) {
      shape += 'S';
      i += symbol.size();
      continue;
    }
    if (u_isdigit(c) || inNumber) {
      if (shape.empty() || shape.back() != 'N') shape += 'N';
    } else if (c == u'(' || c == u')') {
      shape += static_cast<char>(c);
    } else if (c == u'-' || c == 0x2212 || (!minus.empty() && text.compare(i, minus.size(), minus) == 0)) {
      shape += '-';
      i += minus.empty() || c == u'-' || c == 0x2212 ? 1 : minus.size();
      continue;
    } else if (IsSpace(c) && (shape.empty() || shape.back() != ' ')) {
      shape += ' ';
    }
    ++i;
  }
  return shape;
}

// The index of the shape in Windows' list of modes, -1 when not there.
template <size_t N>
int ModeOf(const std::string& shape, const char* const (&modes)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (shape == modes[i]) return static_cast<int>(i);
  }
  return -1;
}

const char* const kPositiveCurrencyModes[] = {"SN", "NS", "S N", "N S"};
const char* const kNegativeCurrencyModes[] = {"(SN)", "-SN",  "S-N",  "SN-",  "(NS)",  "-NS",  "N-S",   "NS-",
                                              "-N S", "-S N", "N S-", "S N-", "S -N", "N- S", "(S N)", "(N S)"};
const char* const kNegativeNumberModes[] = {"(N)", "-N", "- N", "N-", "N -"};

// "3;0", or "3;2;0" with a secondary group.
Text GroupingOf(UNumberFormat* format) {
  int primary = unum_getAttribute(format, UNUM_GROUPING_SIZE);
  int secondary = unum_getAttribute(format, UNUM_SECONDARY_GROUPING_SIZE);
  if (primary <= 0) return u"0";
  Text grouping = Decimal(primary) + u";";
  if (secondary > 0 && secondary != primary) grouping += Decimal(secondary) + u";";
  return grouping + u"0";
}

// ---- Values ICU has no datum for -------------------------------------------

// The default ANSI code page of a locale, by its likely script.
int AnsiCodePageOf(const char* icuId) {
  char likely[ULOC_FULLNAME_CAPACITY] = {}, script[16] = {}, language[16] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_addLikelySubtags(icuId, likely, sizeof likely, &status);
  uloc_getScript(likely, script, sizeof script, &status);
  uloc_getLanguage(likely, language, sizeof language, &status);
  static const struct { const char* script; int codePage; } kScripts[] = {
      {"Cyrl", 1251}, {"Grek", 1253}, {"Hebr", 1255}, {"Arab", 1256}, {"Thai", 874},
      {"Jpan", 932},  {"Hans", 936},  {"Hant", 950},  {"Kore", 949},
  };
  for (const auto& entry : kScripts) {
    if (std::strcmp(script, entry.script) == 0) return entry.codePage;
  }
  if (std::strcmp(script, "Latn") != 0) return 0;
  static const struct { const char* language; int codePage; } kLatin[] = {
      {"cs", 1250}, {"sk", 1250}, {"pl", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250},
      {"sq", 1250}, {"bs", 1250}, {"sr", 1250}, {"tr", 1254}, {"az", 1254}, {"uz", 1254}, {"lt", 1257},
      {"lv", 1257}, {"et", 1257}, {"vi", 1258},
  };
  for (const auto& entry : kLatin) {
    if (std::strcmp(language, entry.language) == 0) return entry.codePage;
  }
  return 1252;
}

// The international calling code: int_prefix of the C library's definition
// of the locale, following its "copy" lines. Empty when there is none.
std::string CallingCode(std::string localeFile, int depth = 0) {
  std::ifstream file("/usr/share/i18n/locales/" + localeFile);
  std::string line;
  bool inTelephone = false;
  while (depth < 8 && std::getline(file, line)) {
    if (line.compare(0, 12, "LC_TELEPHONE") == 0) inTelephone = true;
    if (!inTelephone) continue;
    if (line.compare(0, 16, "END LC_TELEPHONE") == 0) break;
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    size_t open = line.find('"');
    size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos) continue;
    std::string value = line.substr(open + 1, close - open - 1);
    if (line.compare(start, 10, "int_prefix") == 0) return value;
    if (line.compare(start, 4, "copy") == 0) return CallingCode(value, depth + 1);
  }
  return "";
}

// ---- One locale's values ---------------------------------------------------

using Values = std::map<LCTYPE, Text>;

// Windows' invariant locale: its own fixed values, not a culture's.
Values InvariantValues() {
  return {
      {LOCALE_ILANGUAGE, u"007f"}, {LOCALE_SNAME, u""}, {LOCALE_SCOUNTRY, u"Invariant Country"},
      {LOCALE_ICOUNTRY, u"1"}, {LOCALE_SLIST, u","}, {LOCALE_IMEASURE, u"0"}, {LOCALE_SDECIMAL, u"."},
      {LOCALE_STHOUSAND, u","}, {LOCALE_SGROUPING, u"3;0"}, {LOCALE_IDIGITS, u"2"}, {LOCALE_ILZERO, u"1"},
      {LOCALE_INEGNUMBER, u"1"}, {LOCALE_SCURRENCY, u"\u00A4"}, {LOCALE_SMONDECIMALSEP, u"."},
      {LOCALE_SMONTHOUSANDSEP, u","}, {LOCALE_SMONGROUPING, u"3;0"}, {LOCALE_ICURRDIGITS, u"2"},
      {LOCALE_ICURRENCY, u"0"}, {LOCALE_INEGCURR, u"0"}, {LOCALE_SDATE, u"/"}, {LOCALE_STIME, u":"},
      {LOCALE_SSHORTDATE, u"MM/dd/yyyy"}, {LOCALE_SLONGDATE, u"dddd, dd MMMM yyyy"}, {LOCALE_IDATE, u"0"},
      {LOCALE_STIMEFORMAT, u"HH:mm:ss"}, {LOCALE_ITIME, u"1"}, {LOCALE_ITLZERO, u"1"}, {LOCALE_S1159, u"AM"},
      {LOCALE_S2359, u"PM"}, {LOCALE_IDEFAULTANSICODEPAGE, u"1252"},
  };
}

void AddDateValues(Values& values, const char* icuId) {
  DateFormat longDate = OpenDateFormat(UDAT_NONE, UDAT_FULL, icuId);
  DateFormat shortTime = OpenDateFormat(UDAT_SHORT, UDAT_NONE, icuId);
  DateFormat mediumTime = OpenDateFormat(UDAT_MEDIUM, UDAT_NONE, icuId);
  UErrorCode status = U_ZERO_ERROR;
  UDateTimePatternGenerator* generator = udatpg_open(icuId, &status);
  if (!longDate || !shortTime || !mediumTime || U_FAILURE(status)) {
    udatpg_close(generator);
    return;
  }
  Text shortDate = WindowsPattern(IcuText([&](UChar* buffer, int32_t size, UErrorCode* error) {
    return udatpg_getBestPattern(generator, u"yMd", -1, buffer, size, error);
  }));
  udatpg_close(generator);
  Text time = Pattern(shortTime.get());
  size_t hour = time.find_first_of(u"HhKk");
  values[LOCALE_SSHORTDATE] = shortDate;
  values[LOCALE_SLONGDATE] = WindowsPattern(Pattern(longDate.get()));
  values[LOCALE_SDATE] = SeparatorAfterFirstField(shortDate);
  values[LOCALE_IDATE] = Decimal(DateOrder(shortDate));
  values[LOCALE_STIMEFORMAT] = WindowsPattern(Pattern(mediumTime.get()));
  values[LOCALE_STIME] = SeparatorAfterFirstField(time.substr(hour == Text::npos ? 0 : hour));
  values[LOCALE_ITIME] = hour != Text::npos && (time[hour] == u'H' || time[hour] == u'k') ? u"1" : u"0";
  values[LOCALE_ITLZERO] = hour + 1 < time.size() && time[hour + 1] == time[hour] ? u"1" : u"0";
  for (int index : {0, 1}) {
    values[index == 0 ? LOCALE_S1159 : LOCALE_S2359] =
        IcuText([&](UChar* buffer, int32_t size, UErrorCode* error) {
          return udat_getSymbols(longDate.get(), UDAT_AM_PMS, index, buffer, size, error);
        });
  }
}

void AddNumberValues(Values& values, const char* icuId) {
  NumberFormat decimal = OpenNumberFormat(UNUM_DECIMAL, icuId);
  NumberFormat currency = OpenNumberFormat(UNUM_CURRENCY, icuId);
  NumberFormat accounting = OpenNumberFormat(UNUM_CURRENCY_ACCOUNTING, icuId);
  if (!decimal || !currency || !accounting) return;
  Text decimalSeparator = Symbol(decimal.get(), UNUM_DECIMAL_SEPARATOR_SYMBOL);
  Text minus = Symbol(decimal.get(), UNUM_MINUS_SIGN_SYMBOL);
  Text symbol = Symbol(currency.get(), UNUM_CURRENCY_SYMBOL);
  values[LOCALE_SDECIMAL] = decimalSeparator;
  values[LOCALE_STHOUSAND] = Symbol(decimal.get(), UNUM_GROUPING_SEPARATOR_SYMBOL);
  values[LOCALE_SGROUPING] = GroupingOf(decimal.get());
  values[LOCALE_ILZERO] = Formatted(decimal.get(), 0.5).compare(0, 1, u"0") == 0 ? u"1" : u"0";
  values[LOCALE_IDIGITS] = u"2";  // Windows' digits for plain numbers; ICU formats to the data's need
  values[LOCALE_SLIST] = decimalSeparator == u"," ? u";" : u",";
  values[LOCALE_SCURRENCY] = symbol;
  values[LOCALE_SMONDECIMALSEP] = Symbol(currency.get(), UNUM_MONETARY_SEPARATOR_SYMBOL);
  values[LOCALE_SMONTHOUSANDSEP] = Symbol(currency.get(), UNUM_MONETARY_GROUPING_SEPARATOR_SYMBOL);
  values[LOCALE_SMONGROUPING] = GroupingOf(currency.get());
  values[LOCALE_ICURRDIGITS] = Decimal(unum_getAttribute(currency.get(), UNUM_MAX_FRACTION_DIGITS));
  int positive = ModeOf(Shape(Formatted(currency.get(), 1.5), symbol, minus), kPositiveCurrencyModes);
  int negative = ModeOf(Shape(Formatted(accounting.get(), -1.5), symbol, minus), kNegativeCurrencyModes);
  int negativeNumber = ModeOf(Shape(Formatted(decimal.get(), -1.5), Text(), minus), kNegativeNumberModes);
  if (positive >= 0) values[LOCALE_ICURRENCY] = Decimal(positive);
  if (negative >= 0) values[LOCALE_INEGCURR] = Decimal(negative);
  if (negativeNumber >= 0) values[LOCALE_INEGNUMBER] = Decimal(negativeNumber);
}

void AddRegionValues(Values& values, LCID lcid, const char* icuId) {
  char language[16] = {}, region[16] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLanguage(icuId, language, sizeof language, &status);
  uloc_getCountry(icuId, region, sizeof region, &status);
  char languageId[8];
  std::snprintf(languageId, sizeof languageId, "%04x", static_cast<unsigned>(lcid & 0xFFFF));
  values[LOCALE_ILANGUAGE] = Ascii(languageId);
  values[LOCALE_SNAME] = Ascii(posix::WindowsLocaleName(icuId));
  values[LOCALE_SCOUNTRY] = IcuText([&](UChar* buffer, int32_t size, UErrorCode* error) {
    return uloc_getDisplayCountry(icuId, "en", buffer, size, error);
  });
  status = U_ZERO_ERROR;
  UMeasurementSystem measure = ulocdata_getMeasurementSystem(icuId, &status);
  values[LOCALE_IMEASURE] = U_SUCCESS(status) && measure == UMS_US ? u"1" : u"0";
  values[LOCALE_IDEFAULTANSICODEPAGE] = Decimal(AnsiCodePageOf(icuId));
  std::string callingCode = CallingCode(std::string(language) + "_" + region);
  if (!callingCode.empty()) values[LOCALE_ICOUNTRY] = Ascii(callingCode);
}

Values ValuesOfIcuLocale(LCID lcid, const char* icuId) {
  Values values;
  AddDateValues(values, icuId);
  AddNumberValues(values, icuId);
  AddRegionValues(values, lcid, icuId);
  return values;
}

// One set of values per locale, made at its first use and kept.
const Values* ValuesOf(LCID locale) {
  static std::mutex lock;
  static std::map<LCID, std::unique_ptr<const Values>> cache;
  LCID resolved = posix::ResolveLocale(locale);
  std::lock_guard<std::mutex> guard(lock);
  auto found = cache.find(resolved);
  if (found != cache.end()) return found->second.get();
  char icuId[ULOC_FULLNAME_CAPACITY];
  if (!posix::IcuLocaleIdOf(resolved, icuId, sizeof icuId)) return nullptr;
  Values values = resolved == LOCALE_INVARIANT ? InvariantValues() : ValuesOfIcuLocale(resolved, icuId);
  return cache.emplace(resolved, std::make_unique<const Values>(std::move(values))).first->second.get();
}

const DWORD kTypeFlags = LOCALE_NOUSEROVERRIDE | LOCALE_RETURN_NUMBER | 0x40000000u;  // LOCALE_USE_CP_ACP

// The value as text; false with the error set when there is none.
bool ValueText(LCID locale, LCTYPE type, Text* text) {
  if ((type & ~kTypeFlags) == LOCALE_IDEFAULTANSICODEPAGE && locale == LOCALE_SYSTEM_DEFAULT) {
    // The system locale's code page is the one the process runs in.
    *text = Decimal(static_cast<long>(GetACP()));
    return true;
  }
  const Values* values = ValuesOf(locale);
  if (values == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto found = values->find(type & ~kTypeFlags);
  if (found == values->end()) {
    SetLastError(ERROR_INVALID_FLAGS);
    return false;
  }
  *text = found->second;
  return true;
}

int CopyOut(const Text& text, WCHAR* buffer, int size) {
  int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), sizeof(WCHAR) * static_cast<size_t>(needed));
  return needed;
}

}  // namespace

int GetLocaleInfoW(LCID locale, LCTYPE type, WCHAR* buffer, int size) {
  Text text;
  if (size < 0 || (buffer == nullptr && size != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!ValueText(locale, type, &text)) return 0;
  if ((type & LOCALE_RETURN_NUMBER) == 0) return CopyOut(text, buffer, size);
  // The number itself, in the room of two wide characters.
  const int units = sizeof(DWORD) / sizeof(WCHAR);
  if (text.empty() || text.find_first_not_of(u"0123456789") != Text::npos) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (size == 0) return units;
  if (size < units) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  DWORD number = 0;
  for (char16_t digit : text) number = number * 10 + static_cast<DWORD>(digit - u'0');
  std::memcpy(buffer, &number, sizeof number);
  return units;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, char* buffer, int size) {
  Text text;
  if (size < 0 || (buffer == nullptr && size != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((type & LOCALE_RETURN_NUMBER) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (!ValueText(locale, type, &text)) return 0;
  int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size == 0 || needed == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, size, nullptr, nullptr);
}

}  // namespace platform
