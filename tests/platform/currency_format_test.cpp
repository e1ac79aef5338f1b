// GetCurrencyFormatA against Windows' answers; lines marked "posix" are for this layer only.

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
// "error N", or with size 0 the length asked for; nothing written past `size`.
std::string Currency(const std::vector<std::string>& f) {
  auto number = [&](int i) { return static_cast<UINT>(std::atoi(f[i].c_str())); };
  auto text = [&](int i) { return f[i] == "~" ? nullptr : const_cast<char*>(f[i].c_str()); };
  CURRENCYFMTA format{number(1), number(2), number(3), text(5), text(4), number(6), number(7), text(8)};
  const int size = static_cast<int>(number(9));
  std::string out(110, '#');
  platform::SetLastError(0);
  const int length = platform::GetCurrencyFormatA(0x0409, 0, f[0].c_str(), &format, &out[0], size);
  EXPECT_EQ(out[static_cast<size_t>(size)], '#');
  if (length == 0) return "error " + std::to_string(platform::GetLastError());
  return size == 0 ? std::to_string(length) : out[static_cast<size_t>(length - 1)] == 0 ? out.c_str() : "unterminated";
}

TEST(CurrencyFormat, MatchesWindows) {
  std::ifstream cases("currency_cases.txt");
  ASSERT_TRUE(cases.is_open());
  for (std::string line, field; std::getline(cases, line);) {
    std::vector<std::string> f;
    for (std::stringstream stream(line + "|"); std::getline(stream, field, '|');) f.push_back(field);
#ifdef _WIN32
    if (f[0] == "posix") continue;
#endif
    if (f[0] == "posix") f.erase(f.begin());
    if (line[0] != '#') { EXPECT_EQ(Currency(f), f[10]) << line; }
  }
}

}  // namespace
