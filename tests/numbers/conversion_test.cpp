#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <random>
#include <string>

#include "numbers/number_text.h"

namespace {

using numbers::DatabaseForm;

std::string Convert(const char* text, const DatabaseForm& form) {
  const size_t room = std::strlen(text) + static_cast<size_t>(form.decimals > 0 ? form.decimals : 0) + 3;
  std::string out(room + 8, '#');
  numbers::ConvertNumberText(&out[0], text, form);
  EXPECT_EQ(out.substr(room), std::string(8, '#')) << text;
  return out.c_str();
}

TEST(DatabaseConversion, FollowsTheOneScheme) {
  const DatabaseForm toDb2{',', '.', 2, true}, toDisplay2{'.', ',', 2, true}, toDisplay0{'.', 0, 0, true};
  struct Case { const char* text; DatabaseForm form; const char* expected; };
  const Case cases[] = {
      {"1.234,567", toDb2, "1234.57"},     {"1234.5", toDisplay2, "1234,50"},  {"-9,995", toDb2, "-10.00"},
      {"0.004", toDisplay2, "0,00"},       {".004", toDisplay2, "0,00"},      {".004", {'.', ',', 2, false}, ",00"},
      {"12,3456", {',', '.', 3, true}, "12.346"}, {"7", toDisplay0, "7"},    {"", toDb2, "0.00"},
      {"2,5", {',', '.', 0, true}, "3."},  {"12.50", toDisplay0, "13"},        {"007.10", toDisplay2, "7,10"},
      {"99.96", {'.', ',', 1, true}, "100,0"}, {"999,999", toDb2, "1000.00"}, {"-0,004", toDb2, "-0.00"},
      {"0,012.5", {'.', ',', 1, true}, "12,5"}, {"000", toDb2, "0.00"},     {".5", {'.', 0, 0, false}, "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Convert(c.text, c.form), c.expected) << c.text;
}

TEST(DisplayToDouble, ReadsTheRecordsSeparatorWhateverTheHostLocale) {
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(numbers::DisplayTextToDouble("12,5", ','), 12.5);
    EXPECT_EQ(numbers::DisplayTextToDouble("1.234,5", ','), 1.0);
    EXPECT_EQ(numbers::DisplayTextToDouble(std::string(256, '1').c_str(), ','), 0.0);
    EXPECT_EQ(numbers::DisplayTextToDouble("12.5", '.'), 12.5);
    // Made by the build with localedef; the host's numeric locale must not matter.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 not available";
  }
  std::setlocale(LC_NUMERIC, "C");
}

TEST(MoneyText, AcceptsDigitsSpacesAndSeparatorsOnly) {
  char list[64];
  EXPECT_EQ(numbers::CheckMoneyText(" --1,234.50", list, ".", ","), 1);
  EXPECT_STREQ(list, "");
  EXPECT_EQ(numbers::CheckMoneyText("12a4b", list, ".", ","), 0);
  EXPECT_STREQ(list, "\"a\", \"b\"");
  EXPECT_EQ(numbers::CheckMoneyText("1-2+", nullptr, ".", ","), 0);
  EXPECT_EQ(numbers::CheckMoneyText("1\xC2\xA0" "234", nullptr, ",", "\xC2\xA0"), 1);
}

// Random bytes: nothing written past the stated room, nothing read past the
// terminator (AddressSanitizer), no hang.
TEST(BadInput, StaysWithinTheRoom) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 301, ' ');
    for (char& c : text) c = static_cast<char>(1 + random() % 255);
    const int decimals = static_cast<int>(random() % 12);
    Convert(text.c_str(), {',', '.', decimals, true});
    Convert(text.c_str(), {'.', ',', decimals, random() % 2 != 0});
    // Digits, a separator for every three, a zero, the point, the decimals,
    // a carried '1' with its separator and the terminator.
    const size_t room = text.size() + text.size() / 3 + 1 + 1 + static_cast<size_t>(decimals) + 3;
    std::string out(room + 8, '#');
    numbers::FormatPlainNumber(&out[0], text.c_str(), decimals, ",", ".", random() % 2);
    EXPECT_EQ(out.substr(room), "########");
    std::string list(text.size() * 5 + 1, '#');
    list += "########";
    numbers::CheckMoneyText(text.c_str(), &list[0], ".", ",");
    EXPECT_EQ(list.substr(list.size() - 8), "########");
    numbers::DisplayTextToDouble(text.c_str(), ',');
  }
}

}  // namespace
