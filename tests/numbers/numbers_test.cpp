// The number functions: the cases of number_cases.txt, a model of the plain path, random bytes, threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "frame/config.h"
#include "frame/module.h"
#include "numbers/number_text.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "support/guarded_memory.h"
#include "support/test_support.h"

namespace {

// `write` on `room` bytes followed by canaries, which must stay; its text up
// to the length it gives ("$" when it terminated there), or (-1) to the end.
template <typename Write>
std::string Guarded(size_t room, Write write) {
  std::string out(room + 8, '#');
  const int length = write(&out[0]);
  EXPECT_EQ(out.substr(room), "########");
  return length < 0 ? out.c_str() : out.substr(0, static_cast<size_t>(length)) + (out[length] == 0 ? "$" : "");
}

// Room for a separator of up to 3 bytes after every input byte.
std::string Plain(const std::string& text, int decimals, const char* thousands, bool leadingZero) {
  return Guarded(text.size() * 4 + std::max(decimals, 0) + 8, [&](char* out) {
    return numbers::FormatPlainNumber(out, text.c_str(), decimals, thousands, ".", leadingZero);
  });
}

std::string Database(const std::string& text, const numbers::DatabaseForm& form) {
  return Guarded(text.size() + std::max(form.decimals, 0) + 3,
                 [&](char* out) { return numbers::ConvertNumberText(out, text.c_str(), form), -1; });
}

// The table writes numbers with '.' whatever the host's locale.
double Number(std::string s) {
  return std::strtod(s.replace(std::min(s.find('.'), s.size()), 1, std::localeconv()->decimal_point).c_str(), nullptr);
}
std::string Shown(double value) { return (std::ostringstream() << value).str(); }
// "cents" when the amount is bit for bit cents * 0.01.
std::string Cents(double amount, double cents) { return std::memcmp(&amount, &(cents *= 0.01), 8) == 0 ? "cents" : Shown(amount); }

// What the case's function gives, in the form of the table's last field.
std::string Result(const std::vector<std::string>& f) {
  auto text = [&](size_t i) { return f[i] == "~" ? nullptr : const_cast<char*>(f[i].c_str()); };
  auto number = [&](size_t i) { return std::atoi(f[i].c_str()); };
  const std::string& kind = f[0];
  double value = Number(f[1]), second = f.size() > 2 ? Number(f[2]) : 0.0;
  char out[512] = "#", decimal[5], thousands[5];
  InternationalSettings& record = *GetGlobalInternational();
  if (kind == "record") {  // separators, grouping, currency and number digits
    std::strcpy(record.decimalSeparator, f[1].c_str()), std::strcpy(record.thousandsSeparator, f[2].c_str());
    record.grouping = static_cast<unsigned>(number(3)), record.currencyDigits = number(4), record.numberDigits = number(5);
    return "set";
  }
  if (kind == "plain") return Plain(f[1], number(2), text(3), f[4] == "1");
  if (kind == "database") return Database(f[1], {text(2) ? f[2][0] : '\0', text(3) ? f[3][0] : '\0', number(4), f[5] == "1"});
  int length = -1;
  if (kind == "FormatGeneralNumber") length = FormatGeneralNumber(out, f[1].c_str(), number(2), text(3), nullptr);
  if (kind == "FormatAnyNumber") length = FormatAnyNumber(out, f[1].c_str(), number(2), number(3));
  if (kind == "FormatNumber") length = FormatNumber(out, f[1].c_str(), 12345, number(2), number(3));
  if (length >= 0) return length == 0 && *out == 0 ? "refused" : std::string(out, static_cast<size_t>(length));
  if (kind == "FormatDecimal") return std::to_string(FormatDecimal(out, f[1].c_str(), number(2))) + " " + out;
  if (kind == "MoneyToDB" || kind == "DBToMoney") (kind == "MoneyToDB" ? MoneyToDB : DBToMoney)(out, f[1].c_str());
  if (kind == "NumberToDB" || kind == "DBToNumber") (kind == "NumberToDB" ? NumberToDB : DBToNumber)(out, f[1].c_str(), number(2));
  if (kind.find("To") != std::string::npos) return out;
  if (kind == "OVStr2Dbl") return Shown(OVStr2Dbl(f[1].c_str()));
  if (kind == "isvalidmoney") return std::to_string(isvalidmoney(f[1].c_str(), out)) + out;
  CURRENCYFMTA money;  // the separators' room, [symbol decimal thousands] Grouping NumDigits LeadingZero
  if (kind == "GetCurrentPrefFmt" && (GetCurrentPrefFmt(&money, out, decimal, number(1), thousands, number(2)), true))
    return "[" + (money.lpCurrencySymbol + (" " + std::string(decimal)) + " " + thousands + "] ") + std::to_string(money.Grouping) + " " +
           std::to_string(money.NumDigits) + " " + std::to_string(money.LeadingZero);
  NUMBERFMTA format;  // the separators' room, whether grouped: [decimal thousands] Grouping NumDigits
  if (kind == "GetNumberPrefFmt" && (GetNumberPrefFmt(&format, decimal, number(1), thousands, number(2), number(3)), true))
    return "[" + (decimal + (" " + std::string(thousands))) + "] " + std::to_string(format.Grouping) + " " + std::to_string(format.NumDigits);
  if (kind == "RegionalDigits") {  // the file's setting, then whether read afresh as by a new process
    testing_support::WriteTextFile(frame::GetConfigFilePathA(), "[Version]\r\nRegionalDigits=" + f[1]);
    if (f[2] == "fresh") frame::ForgetConfigForTesting();
    return f[2];
  }
  if (kind == "scanlnth") {  // 0x01 at the positions given, in 257 bytes with a fault past them
    testing_support::GuardedBytes buffer(257);
    char* bytes = static_cast<char*>(std::memset(buffer.data(), 0, 257));
    for (size_t i = 1; i + 1 < f.size(); ++i) bytes[number(i)] = 1;
    return std::to_string(scanlnth(bytes));
  }
  if (kind == "dcmp") return std::to_string(dcmp(text(1) ? &value : nullptr, &second));
  if (kind == "money_test" || kind == "dint") return std::to_string(kind == "dint" ? dint(&value) : money_test(&value));
  if (kind == "islong") return std::to_string(islong(f[1].c_str()));
  if (kind == "ismoney") return std::to_string(ismoney());
  if (kind == "dneg") return dneg(&value), Shown(value);
  if (kind == "money_sub") return money_sub(&value, &second), Shown(value);
  if (kind == "getbuf") return getbuf(text(1), out), out;
  if (kind == "mov_buf") return mov_buf(f[1].c_str(), number(2), out + 1), out;
  WORD first = static_cast<WORD>(number(1)), other = static_cast<WORD>(number(2));
  if (kind == "xchg_word") return xchg_word(&first, &other), std::to_string(first) + " " + std::to_string(other);
  double amount = 99;
  if (kind == "bedford") return money_bedford(number(1), &amount), Cents(amount, value);
  unsigned char field[6];  // accpac
  for (int i = 0; i < 6; ++i) field[i] = static_cast<unsigned char>(std::stoi(f[1].substr(2 * i, 2), nullptr, 16));
  money_accpac(field, &amount);
  for (int i = 0; i < 6; ++i) std::snprintf(out + 2 * i, 3, "%02X", field[i]);
  return std::string(out) + " " + Cents(amount, second);
}

// In the "C" numeric locale and again in de_DE.UTF-8 (made by the build
// with localedef, LOCPATH): no case may follow the host's locale.
TEST(NumberCases, FromTheTable) {
  if (platform::GetUserDefaultLCID() != 0x0409) GTEST_SKIP() << "needs the en-US user locale";
  const InternationalSettings saved = *GetGlobalInternational();
  for (const char* host : {"C", "de_DE.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, host) == nullptr) break;
    const auto cases = testing_support::ReadTable("number_cases.txt", '|');
    ASSERT_FALSE(cases.empty());
    for (const auto& f : cases) EXPECT_EQ(Result(f), f.back()) << host << ": " << f[0] << "|" << f[1];
  }
  std::setlocale(LC_NUMERIC, "C");
  *GetGlobalInternational() = saved;
  std::remove(frame::GetConfigFilePathA());
  frame::ForgetConfigForTesting();
}

// An exact model: the digits as one integer scaled by 10^decimals, rounded
// half away from zero, grouped as the input's integer digits were, a carried
// '1' in a group of its own after a full group, terminated ("$") when it
// takes the place of a missing digit.
std::string Model(bool negative, const std::string& integer, std::string fraction, int decimals, const std::string& sep,
                  bool leadingZero) {
  fraction.resize(static_cast<size_t>(decimals) + 1, '0');
  std::string digits = integer + fraction.substr(0, static_cast<size_t>(decimals));
  bool carried = false;
  if (fraction.back() >= '5') {
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    carried = i == 0;
    if (carried) digits.insert(0, "1"); else ++digits[i - 1];
  }
  std::string text = negative ? "-" : "";
  if (carried) text += integer.size() % 3 == 0 && !integer.empty() ? "1" + sep : "1";
  for (size_t i = carried; i < digits.size() - static_cast<size_t>(decimals); ++i)
    text += digits[i] + ((digits.size() - decimals - i - 1) % 3 == 0 && i + 1 < digits.size() - decimals ? sep : "");
  if (integer.empty() && !carried && leadingZero) text += "0";
  if (decimals > 0) text += "." + digits.substr(digits.size() - static_cast<size_t>(decimals));
  return (text == "-0" ? "0" : text) + (carried && !(integer.empty() && leadingZero) ? "$" : "");
}

TEST(NumberText, PlainPathMatchesAnExactDecimalModel) {
  std::mt19937 random(15);
  const char* separators[] = {"", ",", "'.", "\xC2\xA0", "abc"};
  auto digits = [&](size_t most) {
    std::string s(random() % (most + 1), '9');  // nines carry
    for (char& c : s) c = random() % 3 ? static_cast<char>('0' + random() % 10) : c;
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const bool negative = random() % 2, leadingZero = random() % 2;
    const std::string integer = digits(random() % 2 ? 4 : 15), fraction = digits(15), sep = separators[random() % 5];
    const int decimals = static_cast<int>(random() % 13);
    const std::string text = std::string(random() % 3, ' ') + (negative ? "-" : "") + std::string(random() % 2, ' ') +
                             integer + (random() % 2 || !fraction.empty() ? "." : "") + fraction;
    EXPECT_EQ(Plain(text, decimals, sep.c_str(), leadingZero), Model(negative, integer, fraction, decimals, sep, leadingZero))
        << "'" << text << "' " << decimals << " '" << sep << "'";
  }
}

// FormatGeneralNumberEx on a copy of the record: grouping 3 takes the plain path.
std::string Grouped(const char* number, int decimals, unsigned grouping) {
  InternationalSettings record = *GetGlobalInternational();
  record.grouping = grouping;
  char out[256], thousands[] = ",", point[] = ".";
  return std::string(out, static_cast<size_t>(FormatGeneralNumberEx(out, number, decimals, thousands, point, &record)));
}

TEST(PlatformPath, IndianGrouping) {
  if (platform::GetUserDefaultLCID() != 0x0439) GTEST_SKIP() << "runs with LC_ALL=hi_IN.UTF-8";
  EXPECT_EQ(Grouped("999999.995", 2, 32), "10,00,000.00");
}

// Both paths and the conversions write only the caller's buffer: eight
// threads get the answers one thread gets.
TEST(Threads, GetTheSingleThreadAnswers) {
  auto forms = [](int i) {
    const std::string text = (i % 3 ? "" : "-") + std::to_string(i * 7919LL * i) + "." + std::to_string(i * 37 % 1000) + "5";
    char database[96], display[96];
    MoneyToDB(database, text.c_str());
    DBToMoney(display, database);
    return Grouped(text.c_str(), 3, 3) + "|" + Grouped(text.c_str(), 2, 32) + "|" + database + "|" + display;
  };
  std::vector<std::string> expected;
  for (int i = 0; i < 200; ++i) expected.push_back(forms(i));
  std::vector<int> mismatches(8);
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] { for (int i = 0; i < 10000; ++i) mismatches[t] += forms(i % 200) != expected[i % 200]; });
  for (testing_support::TestThread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(8));
}

}  // namespace
