// Currency text of plain number text, pinned to what Windows gives; the
// same expectations run on both builds.

#include <gtest/gtest.h>

#include <string>

#include "platform/number_format.h"
#include "platform/system.h"

namespace {

constexpr LCID kEnUs = 0x0409;

struct Format {
  UINT digits = 2, leadingZero = 1, grouping = 3, negative = 1, positive = 0;
  const char* decimal = ".";
  const char* thousands = ",";
  const char* symbol = "";
};

// The text, or "error N" with the error code.
std::string Currency(const char* value, const Format& f, int size = 100) {
  CURRENCYFMTA format{f.digits, f.leadingZero, f.grouping, const_cast<char*>(f.decimal),
                      const_cast<char*>(f.thousands), f.negative, f.positive, const_cast<char*>(f.symbol)};
  std::string out(110, '#');
  platform::SetLastError(0);
  const int length = platform::GetCurrencyFormatA(kEnUs, 0, value, &format, &out[0], size);
  EXPECT_EQ(out[static_cast<size_t>(size)], '#');
  if (length == 0) return "error " + std::to_string(platform::GetLastError());
  EXPECT_EQ(out[static_cast<size_t>(length - 1)], 0);
  return out.c_str();
}

TEST(CurrencyFormat, LaysOutEveryOrder) {
  const char* negative[] = {"($1,234.50)", "-$1,234.50", "$-1,234.50", "$1,234.50-", "(1,234.50$)", "-1,234.50$",
                            "1,234.50-$",  "1,234.50$-", "-1,234.50 $", "-$ 1,234.50", "1,234.50 $-", "$ 1,234.50-",
                            "$ -1,234.50", "1,234.50- $", "($ 1,234.50)", "(1,234.50 $)"};
  const char* positive[] = {"$1,234.50", "1,234.50$", "$ 1,234.50", "1,234.50 $"};
  for (UINT order = 0; order < 16; ++order) {
    Format f;
    f.negative = order;
    f.symbol = "$";
    EXPECT_EQ(Currency("-1234.5", f), negative[order]) << order;
    f.symbol = "";
    std::string bare = negative[order];
    bare.erase(bare.find('$'), 1);
    EXPECT_EQ(Currency("-1234.5", f), bare) << order;
    if (order < 4) {
      f.positive = order;
      f.symbol = "EUR";
      std::string expected = positive[order];
      expected.replace(expected.find('$'), 1, "EUR");
      EXPECT_EQ(Currency("1234.5", f), expected) << order;
    }
  }
}

TEST(CurrencyFormat, RoundsGroupsAndPads) {
  struct Case { const char* value; UINT digits, leadingZero, grouping; const char* thousands; const char* expected; };
  const Case cases[] = {
      {"1234567.125", 2, 1, 3, ",", "1,234,567.13"},  {"-0.004", 0, 1, 3, ",", "-0"},
      {"0.5", 2, 0, 3, ",", ".50"},                   {"0.5", 2, 1, 3, ",", "0.50"},
      {"", 2, 1, 3, ",", "0.00"},                     {"-", 1, 1, 3, ",", "-0.0"},
      {"5.", 0, 1, 3, ",", "5"},                      {"007", 3, 1, 3, ",", "7.000"},
      {"1234567890", 0, 1, 0, ",", "1234567890"},     {"1234567890", 0, 1, 30, ",", "1234567,890"},
      {"1234567890", 0, 1, 32, ",", "1,23,45,67,890"}, {"1234567890", 0, 1, 320, ",", "12345,67,890"},
      {"1234567", 0, 1, 3, "'.'", "1'.'234'.'567"},    {"2.5", 9, 1, 3, ",", "2.500000000"},
      {"0.0000000005", 9, 1, 3, ",", "0.000000001"},   {"-99.5", 0, 1, 3, " ", "-100"},
  };
  for (const Case& c : cases) {
    Format f;
    f.digits = c.digits;
    f.leadingZero = c.leadingZero;
    f.grouping = c.grouping;
    f.thousands = c.thousands;
    EXPECT_EQ(Currency(c.value, f), c.expected) << c.value << " " << c.grouping;
  }
}

TEST(CurrencyFormat, RefusesWhatWindowsRefuses) {
  for (const char* value : {" 1", "1 ", "+1", "--1", "1,234.5", "1e5", "1.2.3", "0x1", "-.-"})
    EXPECT_EQ(Currency(value, Format()), "error 87") << value;
  EXPECT_EQ(Currency("1234.5", Format(), 8), "error 122");
  EXPECT_EQ(Currency("1234.5", Format(), 9), "1,234.50");
  CURRENCYFMTA format{2, 1, 3, const_cast<char*>("."), const_cast<char*>(","), 1, 0, const_cast<char*>("")};
  EXPECT_EQ(platform::GetCurrencyFormatA(kEnUs, 0, "1234.5", &format, nullptr, 0), 9);
  format.NegativeOrder = 16;
  EXPECT_EQ(platform::GetCurrencyFormatA(kEnUs, 0, "-1", &format, nullptr, 0), 0);
  EXPECT_EQ(platform::GetLastError(), 87u);
}

#ifndef _WIN32
// Windows keeps the groups of the unrounded integer when a carry adds a
// digit, and refuses long separators and more than 9 digits.
TEST(CurrencyFormat, RegroupsACarryAndTakesMore) {
  Format f;
  EXPECT_EQ(Currency("999999.995", f), "1,000,000.00");
  f.thousands = "\xC2\xA0\xC2\xA0";
  f.digits = 12;
  EXPECT_EQ(Currency("1234.5", f), "1\xC2\xA0\xC2\xA0" "234.500000000000");
}
#endif

}  // namespace
