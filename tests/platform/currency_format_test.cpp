// Currency text of plain number text, pinned to what Windows gives: the
// cases in currency_cases.txt run on both builds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/number_format.h"
#include "platform/system.h"

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  for (std::string field; std::getline(stream, field, '|');) fields.push_back(field);
  if (!line.empty() && line.back() == '|') fields.emplace_back();
  return fields;
}

UINT Number(const std::string& field) { return static_cast<UINT>(std::atoi(field.c_str())); }
char* Text(std::string& field) { return field == "~" ? nullptr : &field[0]; }

// The text, "error N" with the error code, or with size 0 the length asked.
std::string Currency(std::vector<std::string>& f) {
  CURRENCYFMTA format{Number(f[1]), Number(f[2]), Number(f[3]), Text(f[5]), Text(f[4]),
                      Number(f[6]), Number(f[7]), Text(f[8])};
  const int size = static_cast<int>(Number(f[9]));
  std::string out(110, '#');
  platform::SetLastError(0);
  const int length = platform::GetCurrencyFormatA(0x0409, 0, f[0].c_str(), &format, size ? &out[0] : nullptr, size);
  EXPECT_EQ(out[static_cast<size_t>(size)], '#') << f[0];
  if (length == 0) return "error " + std::to_string(platform::GetLastError());
  if (size == 0) return std::to_string(length);
  EXPECT_EQ(out[static_cast<size_t>(length - 1)], 0) << f[0];
  return out.c_str();
}

TEST(CurrencyFormat, MatchesWindows) {
  std::ifstream cases("currency_cases.txt");
  ASSERT_TRUE(cases.is_open());
  int count = 0;
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = Fields(line);
    ASSERT_EQ(f.size(), 11u) << line;
    EXPECT_EQ(Currency(f), f[10]) << line;
    ++count;
  }
  EXPECT_EQ(count, 78);
}

#ifndef _WIN32
// Windows keeps the groups of the unrounded integer when a carry adds a
// digit, and refuses long separators and more than 9 digits.
TEST(CurrencyFormat, RegroupsACarryAndTakesMore) {
  std::vector<std::string> regrouped = Fields("999999.995|2|1|3|,|.|1|0||100|"),
                           longer = Fields("1234.5|12|1|3|\xC2\xA0\xC2\xA0|.|1|0||100|");
  EXPECT_EQ(Currency(regrouped), "1,000,000.00");
  EXPECT_EQ(Currency(longer), "1\xC2\xA0\xC2\xA0" "234.500000000000");
}
#endif

}  // namespace
