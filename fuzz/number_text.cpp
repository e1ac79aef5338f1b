// Number and money text typed by users, with separators and digit counts
// chosen by the input. Invariants: every output stays inside the room its
// contract states (the buffers are exactly that size); the database form is
// [-]digits.decimals and comes back unchanged through the display form; the
// list of refused money characters is empty exactly when the text is valid.
//
// Input: byte 0 the decimals and flags, byte 1 the separators, then the text.

#include <algorithm>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

namespace {

const char* const kSeparators[] = {"", ".", ",", " ", "'", "\xC2\xA0", "\xE2\x80\xAF", "--"};

struct Choice {
  int decimals;
  bool leadingZero;
  bool platformGrouping;
  const char* thousand;
  const char* decimal;
};

Choice Choose(uint8_t flags, uint8_t separators) {
  Choice choice;
  choice.decimals = flags % 13 - 3;  // -3 to 9: the record's digits at -1 and -2
  choice.leadingZero = (flags & 0x40) != 0;
  choice.platformGrouping = (flags & 0x80) != 0;
  choice.thousand = kSeparators[separators % 8];
  choice.decimal = kSeparators[1 + separators / 8 % 7];
  return choice;
}

size_t IntegerDigits(const char* text) {
  size_t digits = 0;
  for (; *text != 0 && *text != '.'; ++text) digits += *text >= '0' && *text <= '9';
  return digits;
}

void CheckFormatting(const char* number, const Choice& choice) {
  InternationalSettings settings = *GetGlobalInternational();
  settings.currencyDigits = 2;
  settings.numberDigits = 3;
  settings.leadingZero = choice.leadingZero;
  settings.grouping = choice.platformGrouping ? 32 : 3;
  int decimals = choice.decimals == -1 ? 2 : choice.decimals == -2 ? 3 : choice.decimals;
  bool platformPath = choice.platformGrouping && *choice.thousand != 0;
  // The platform's path is bounded by its 200-byte buffer; the own path by
  // the input, a separator per three digits (one more for a carry), the
  // decimal separator, the decimals and 3.
  size_t room = platformPath ? 200
                             : std::strlen(number) + (IntegerDigits(number) / 3 + 1) * std::strlen(choice.thousand) +
                                   std::strlen(choice.decimal) + (decimals > 0 ? decimals : 0) + 3;
  auto out = fuzzing::Exactly<char>(room);
  int length = FormatGeneralNumberEx(out.data(), number, choice.decimals, const_cast<char*>(choice.thousand),
                                     const_cast<char*>(choice.decimal), &settings);
  FUZZ_CHECK(length >= 0 && static_cast<size_t>(length) < room);
  if (platformPath) FUZZ_CHECK(out[length] == 0 && std::strlen(out.data()) == static_cast<size_t>(length));
}

// [-]digits.decimals (no point for no decimals), digits without leading zeros.
bool IsDatabaseForm(const std::string& text, int decimals) {
  if (text.empty()) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  size_t point = text.find('.');
  if (point == std::string::npos || point == i || text.size() - point - 1 != static_cast<size_t>(decimals)) return false;
  if (text[i] == '0' && point > i + 1) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (k != point && (text[k] < '0' || text[k] > '9')) return false;
  return true;
}

void CheckDatabaseForms(const char* text, int decimals) {
  if (decimals < 0) decimals = 0;
  const size_t room = std::strlen(text) + decimals + 3;
  auto toDb = fuzzing::Exactly<char>(room);
  auto toDisplay = fuzzing::Exactly<char>(room);
  NumberToDB(toDb.data(), text, decimals);
  DBToNumber(toDisplay.data(), text, decimals);
  // Money keeps the currency digits for display and 2 or more in the database.
  const int currencyDigits = GetGlobalInternational()->currencyDigits;
  auto moneyToDb = fuzzing::Exactly<char>(std::strlen(text) + std::max(2, currencyDigits) + 3);
  auto moneyToDisplay = fuzzing::Exactly<char>(std::strlen(text) + currencyDigits + 3);
  MoneyToDB(moneyToDb.data(), text);
  DBToMoney(moneyToDisplay.data(), text);
  (void)OVStr2Dbl(text);

  // A text of digits, signs and the display point comes back unchanged once
  // it is in the database form.
  const char point = GetGlobalInternational()->decimalSeparator[0];
  std::string digits;
  for (const char* c = text; *c != 0; ++c)
    digits += *c == '-' && digits.empty() ? '-' : *c == point ? point : static_cast<char>('0' + static_cast<uint8_t>(*c) % 10);
  auto database = fuzzing::Exactly<char>(digits.size() + decimals + 3);
  NumberToDB(database.data(), digits.c_str(), decimals);
  std::string form = database.data();
  FUZZ_CHECK(IsDatabaseForm(form, decimals));
  auto display = fuzzing::Exactly<char>(form.size() + decimals + 3);
  DBToNumber(display.data(), form.c_str(), decimals);
  auto again = fuzzing::Exactly<char>(std::strlen(display.data()) + decimals + 3);
  NumberToDB(again.data(), display.data(), decimals);
  FUZZ_CHECK(form == again.data());
}

void CheckMoneyList(const char* text) {
  const size_t length = std::strlen(text);
  // 3 bytes for the first refused character, 5 for each further one (more
  // for a character of several bytes, but never more than 5 a byte).
  auto list = fuzzing::Exactly<char>(length == 0 ? 1 : 5 * length - 1);
  int valid = isvalidmoney(text, list.data());
  FUZZ_CHECK((valid == 1 && list[0] == 0) || (valid == 0 && list[0] == '"'));
  FUZZ_CHECK(isvalidmoney(text, nullptr) == valid);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InternationalSettings settings;
  InitInternational(&settings);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Choice choice = Choose(data[0], data[1]);
  auto text = fuzzing::Terminated<char>(data + 2, size - 2);
  InternationalSettings& record = *GetGlobalInternational();
  record.decimalSeparator[0] = (data[0] & 0x20) != 0 ? ',' : '.';
  record.decimalSeparator[1] = 0;
  record.leadingZero = choice.leadingZero;
  record.currencyDigits = choice.decimals > 0 ? choice.decimals : 2;

  CheckFormatting(text.data(), choice);
  CheckDatabaseForms(text.data(), choice.decimals);
  CheckMoneyList(text.data());
  return 0;
}
