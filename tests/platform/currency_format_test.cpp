// GetCurrencyFormatA against what Windows gives: currency_cases.txt runs on
// both builds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/number_format.h"
#include "platform/system.h"

namespace {

// value|NumDigits|LeadingZero|Grouping|thousands|decimal|NegativeOrder|PositiveOrder|symbol|size: the text,
// "error N", or with size 0 the length asked for.
std::string Currency(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream stream(line + "|");
  for (std::string field; std::getline(stream, field, '|');) f.push_back(field);
  auto number = [&](int i) { return static_cast<UINT>(std::atoi(f[i].c_str())); };
  auto text = [&](int i) { return f[i] == "~" ? nullptr : &f[i][0]; };
  CURRENCYFMTA format{number(1), number(2), number(3), text(5), text(4), number(6), number(7), text(8)};
  const int size = static_cast<int>(number(9));
  std::string out(110, '#');
  platform::SetLastError(0);
  const int length = platform::GetCurrencyFormatA(0x0409, 0, f[0].c_str(), &format, &out[0], size);
  EXPECT_EQ(out[static_cast<size_t>(size)], '#') << line;
  if (length == 0) return "error " + std::to_string(platform::GetLastError());
  EXPECT_TRUE(size == 0 || out[static_cast<size_t>(length - 1)] == 0) << line;
  return size == 0 ? std::to_string(length) : out.c_str();
}

TEST(CurrencyFormat, MatchesWindows) {
  std::ifstream cases("currency_cases.txt");
  int count = 0;
  for (std::string line; std::getline(cases, line); count += line[0] != '#') {
    if (line[0] == '#') continue;
    EXPECT_EQ(Currency(line.substr(0, line.rfind('|'))), line.substr(line.rfind('|') + 1)) << line;
  }
  EXPECT_EQ(count, 77);
}

#ifndef _WIN32
// Windows keeps the groups of the unrounded integer when a carry adds a
// digit, and refuses long separators and more than 9 digits. Size 0 asks
// for the length needed, as Windows documents it (Wine answers 2).
TEST(CurrencyFormat, RegroupsACarryAndTakesMore) {
  EXPECT_EQ(Currency("1234.5|2|1|3|,|.|1|0||0"), "9");
  EXPECT_EQ(Currency("999999.995|2|1|3|,|.|1|0||100"), "1,000,000.00");
  EXPECT_EQ(Currency("1234.5|12|1|3|\xC2\xA0\xC2\xA0|.|1|0||100"), "1\xC2\xA0\xC2\xA0" "234.500000000000");
}
#endif

}  // namespace
