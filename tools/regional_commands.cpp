// ovpb locale and ovpb money: the regional settings the library reads, and
// number and money text through them.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "tools/command_line.h"

namespace tool {
namespace {

void PrintSettings(const InternationalSettings& settings) {
  static const char* const kDateOrders[] = {"month-day-year", "day-month-year", "year-month-day"};
  std::printf("date order:         %s\n", settings.dateOrder >= 0 && settings.dateOrder <= 2
                                               ? kDateOrders[settings.dateOrder] : "unknown");
  std::printf("short date:         %s\n", settings.shortDate);
  std::printf("long date:          %s\n", settings.longDate);
  std::printf("date separator:     \"%s\"\n", settings.dateSeparator);
  std::printf("time separator:     \"%s\" (%s-hour clock)\n", settings.timeSeparator, settings.clock24 ? "24" : "12");
  std::printf("am / pm:            \"%s\" / \"%s\"\n", settings.morning, settings.afternoon);
  std::printf("currency:           \"%s\", %d digits, position mode %d\n", settings.currencySymbol,
              settings.currencyDigits, settings.currencyPosition);
  std::printf("money separators:   thousands \"%s\", decimal \"%s\"\n", settings.thousandsSeparator,
              settings.decimalSeparator);
  std::printf("list separator:     \"%s\"\n", settings.listSeparator);
  std::printf("grouping:           %u\n", settings.grouping);
  std::printf("measurement:        %s\n", settings.measurement ? "U.S." : "metric");
  std::printf("country code:       %d\n", settings.countryCode);
  std::printf("character set:      %s\n", settings.charsetName);
}

}  // namespace

int RunLocale(Arguments& arguments) {
  if (!arguments.Done()) return Usage("locale", "no arguments are taken");
  LCID locale = GetAppropriateLCID();
  char name[86] = {};
  LocaleIDToLocaleName(locale, name, sizeof name);
  std::printf("interface locale:   0x%04X %s (%s)\n", static_cast<unsigned>(locale), name,
              UseApplocaleMode() ? "the system's, Applocale on" : "the user's");
  std::printf("font character set: %u\n", static_cast<unsigned>(GetUserFontCharset()));
  InternationalSettings settings;
  InitInternational(&settings);
  PrintSettings(settings);
  return kSuccess;
}

int RunMoney(Arguments& arguments) {
  std::string action = arguments.Done() ? std::string() : arguments.Take();
  if (arguments.words.size() - arguments.next != 1) return Usage("money", "format, todb or fromdb, and one TEXT");
  std::string text = arguments.Take();
  InternationalSettings settings;
  InitInternational(&settings);
  // Room for the text, its separators, the decimals and the terminator.
  std::vector<char> out(text.size() * 2 + 64);
  if (action == "format") {
    FormatNumber(out.data(), text.c_str(), 0, TRUE, TRUE);
  } else if (action == "todb") {
    MoneyToDB(out.data(), text.c_str());
  } else if (action == "fromdb") {
    DBToMoney(out.data(), text.c_str());
  } else {
    return Usage("money", "unknown action '" + action + "'");
  }
  std::printf("%s\n", out.data());
  return kSuccess;
}

}  // namespace tool

namespace tool {

// ovpb date [YYYY-MM-DD | DAYNUMBER | now]: a date as the library counts and
// shows it.
int RunDate(Arguments& arguments) {
  std::string given = arguments.Done() ? "now" : arguments.Take();
  if (!arguments.Done()) return Usage("date", "one DATE at most");
  int day = 0, month = 0, year = 0, dayNumber = 0;
  char tail = 0;
  if (given == "now") {
    char text[16];
    DateTimeToStringA(ToLocalTime(GetCurrentGlobalTime()), text, TRUE);
    std::sscanf(text, "%4d%2d%2d", &year, &month, &day);
    DateToJulian(&dayNumber, day, month, year);
  } else if (std::sscanf(given.c_str(), "%d-%d-%d%c", &year, &month, &day, &tail) == 3) {
    DateToJulian(&dayNumber, day, month, year);
    if (dayNumber == 0 && !(year == 1900 && month == 3 && day == 1)) {
      std::fprintf(stderr, "ovpb: date: not a date the library counts: '%s'\n", given.c_str());
      return kNegative;
    }
  } else if (std::sscanf(given.c_str(), "%d%c", &dayNumber, &tail) == 1) {
    JulianToDate(dayNumber, &day, &month, &year);
  } else {
    return Usage("date", "not a date or day number: '" + given + "'");
  }
  char longDate[255] = {}, shortDate[255] = {};
  OVGetDateFormat(dayNumber, longDate);
  OVGetShortDateFormat(dayNumber, shortDate);
  std::printf("day number: %d\ndate:       %04d-%02d-%02d\nlong:       %s\nshort:      %s\n", dayNumber, year, month,
              day, longDate, shortDate);
  return kSuccess;
}

// ovpb unc PATH: the path's universal, minimal-drive, safe and persistable
// names.
int RunUnc(Arguments& arguments) {
  if (arguments.words.size() != 1) return Usage("unc", "one PATH is needed");
  const std::string& path = arguments.words[0];
  std::vector<char> universal(path.size() + 2050), mapped(path.size() + 2050), safe(path.size() + 257),
      persistable(path.size() + 257);
  char computer[16] = {};
  GetUniversalNameA(path.c_str(), universal.data(), computer, sizeof computer);
  GetMinimalDriveMappingA(path.c_str(), mapped.data());
  GetNetworkSafeNameA(path.c_str(), safe.data());
  GetNetworkPersistableNameA(path.c_str(), persistable.data());
  std::printf("universal:   %s%s%s\n", universal.data(), computer[0] != 0 ? " on " : "", computer);
  std::printf("drive:       %s\n", mapped.data());
  std::printf("safe:        %s\n", safe.data());
  std::printf("persistable: %s\n", persistable.data());
  return kSuccess;
}

}  // namespace tool
