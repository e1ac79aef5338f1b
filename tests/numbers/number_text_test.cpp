#include "numbers/number_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// The formatter's text at its returned length, with canaries past the room.
std::string Plain(const char* text, int decimals, const char* thousands = ",", bool leadingZero = true) {
  char out[128];
  std::memset(out, '#', sizeof out);
  const int length = numbers::FormatPlainNumber(out, text, decimals, thousands, ".", leadingZero);
  EXPECT_EQ(out[std::strlen(text) + 3 * 12 + decimals + 8], '#');
  return std::string(out, static_cast<size_t>(length));
}

TEST(PlainNumber, FormatsRoundsAndCarries) {
  struct Case { const char* text; int decimals; const char* thousands; bool leadingZero; const char* expected; };
  const Case cases[] = {
      {"1234.5", 2, ",", true, "1,234.50"},       {"0.125", 2, ",", true, "0.13"},
      {"999.995", 2, ",", true, "1,000.00"},      {"99.5", 0, ",", true, "100"},
      {"-999999.5", 0, ",", true, "-1,000,000"},  {".995", 2, ",", false, "1.00"},
      {"0999.995", 2, ",", true, "1,000.00"},     {"-0.4", 0, ",", true, "0"},
      {"-0.004", 2, ",", true, "-0.00"},          {"9.995", 2, ",", true, "10.00"},
      {"", 2, ",", true, "0.00"},                 {"", 2, ",", false, ".00"},
      {" - 12.3456", 3, nullptr, true, "-12.346"}, {"0012", 1, ",", true, "0,012.0"},
      {"1234567", 0, "\xC2\xA0", true, "1\xC2\xA0" "234\xC2\xA0" "567"},
      {"12.5", -3, ",", true, "13."},             {"999", 0, "", true, "999"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Plain(c.text, c.decimals, c.thousands, c.leadingZero), c.expected) << c.text << " " << c.decimals;
}

TEST(PlainNumber, TerminatesOnlyWhenTheCarryAddsADigit) {
  char out[32];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(numbers::FormatPlainNumber(out, "1.5", 0, ",", ".", true), 1);
  EXPECT_EQ(out[1], '#');
  EXPECT_EQ(numbers::FormatPlainNumber(out, "9.5", 0, ",", ".", true), 2);
  EXPECT_STREQ(out, "10");
}

// An exact model: the digits as one integer scaled by 10^decimals, rounded
// half away from zero, then laid out.
std::string Model(bool negative, std::string integer, std::string fraction, int decimals, const std::string& sep,
                  bool leadingZero) {
  const size_t integerLength = integer.size();
  fraction.resize(static_cast<size_t>(decimals) + 1, '0');
  std::string digits = integer + fraction.substr(0, static_cast<size_t>(decimals));
  if (fraction[static_cast<size_t>(decimals)] >= '5') {
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) digits.insert(0, "1"); else ++digits[i - 1];
  }
  integer = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
  std::string grouped;
  for (size_t i = 0; i < integer.size(); ++i) {
    grouped += integer[i];
    size_t left = integer.size() - i - 1;
    if (left > 0 && left % 3 == 0 && (integerLength >= left + 1 || (i == 0 && integerLength % 3 == 0))) grouped += sep;
  }
  if (grouped.empty() && leadingZero) grouped = "0";
  std::string text = (negative ? "-" : "") + grouped + (decimals > 0 ? "." + digits.substr(integer.size()) : "");
  return text == "-0" ? "0" : text;
}

TEST(PlainNumber, MatchesAnExactDecimalModel) {
  std::mt19937 random(15);
  const char* separators[] = {"", ",", "'.", "\xC2\xA0", "abc"};
  for (int round = 0; round < 20000; ++round) {
    auto digits = [&](size_t most) {
      std::string s(random() % (most + 1), '0');
      for (char& c : s) c = static_cast<char>('0' + random() % 10);
      return s;
    };
    const bool negative = random() % 2 != 0, leadingZero = random() % 2 != 0;
    const std::string integer = digits(random() % 2 ? 3 : 15), fraction = digits(15);
    const int decimals = static_cast<int>(random() % 13);
    const std::string sep = separators[random() % 5];
    const std::string text = std::string(random() % 3, ' ') + (negative ? "-" : "") + std::string(random() % 2, ' ') +
                             integer + (random() % 2 || !fraction.empty() ? "." : "") + fraction;
    EXPECT_EQ(Plain(text.c_str(), decimals, sep.c_str(), leadingZero),
              Model(negative, integer, fraction, decimals, sep, leadingZero || !integer.empty()))
        << "'" << text << "' " << decimals << " '" << sep << "'";
  }
}

}  // namespace
