#include "numbers/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <random>
#include <string>

namespace {

// Text with canaries after the room the caller gives: the input, a
// separator (up to 3 bytes) for every digit, a zero, the point, the decimals,
// a carried '1' and the terminator.
std::string Plain(const std::string& text, int decimals, const char* thousands, bool leadingZero) {
  const size_t room = text.size() * 4 + static_cast<size_t>(decimals > 0 ? decimals : 0) + 8;
  std::string out(room + 8, '#');
  const int length = numbers::FormatPlainNumber(&out[0], text.c_str(), decimals, thousands, ".", leadingZero);
  EXPECT_EQ(out.substr(room), "########") << text;
  return out.substr(0, static_cast<size_t>(length));
}

void Convert(const std::string& text, const numbers::DatabaseForm& form) {
  std::string out(text.size() + static_cast<size_t>(form.decimals) + 3 + 8, '#');
  numbers::ConvertNumberText(&out[0], text.c_str(), form);
  EXPECT_EQ(out.substr(out.size() - 8), "########") << text;
}

TEST(NumberText, PlainTextIsTerminatedOnlyWhenACarryAddsADigit) {
  char out[8] = "#######";
  EXPECT_EQ(numbers::FormatPlainNumber(out, "1.5", 0, ",", ".", true), 1);
  EXPECT_STREQ(out, "2######");
  EXPECT_EQ(numbers::FormatPlainNumber(out, "9.5", 0, ",", ".", true), 2);
  EXPECT_STREQ(out, "10");
}

// An exact model: the digits as one integer scaled by 10^decimals, rounded
// half away from zero, grouped as the input's integer digits were, with a
// carried '1' in a group of its own after a full group.
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
  return text == "-0" ? "0" : text;
}

TEST(NumberText, PlainPathMatchesAnExactDecimalModel) {
  std::mt19937 random(15);
  const char* separators[] = {"", ",", "'.", "\xC2\xA0", "abc"};
  auto digits = [&](size_t most) {
    std::string s(random() % (most + 1), '0');
    for (char& c : s) c = random() % 3 ? static_cast<char>('0' + random() % 10) : '9';  // nines carry
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

TEST(NumberText, DisplayToDoubleWhateverTheHostLocale) {
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(numbers::DisplayTextToDouble("12,5", ','), 12.5);
    EXPECT_EQ(numbers::DisplayTextToDouble("1.234,5", ','), 1.0);
    EXPECT_EQ(numbers::DisplayTextToDouble(std::string(256, '1').c_str(), ','), 0.0);
    EXPECT_EQ(numbers::DisplayTextToDouble("12.5", '.'), 12.5);
    // The build makes de_DE.UTF-8 with localedef (LOCPATH).
    if (pass == 0 && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8";
  }
  std::setlocale(LC_NUMERIC, "C");
}

// Random bytes: nothing written past the room, nothing read past the
// terminator (AddressSanitizer), no hang.
TEST(NumberText, RandomBytesStayWithinTheRoom) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 301, ' ');
    for (char& c : text) c = static_cast<char>(1 + random() % 255);
    const int decimals = static_cast<int>(random() % 12);
    for (char point : {',', '.', '\0'}) Convert(text, {point, '.', decimals, random() % 2 != 0});
    Plain(text, decimals, random() % 2 ? "," : "\xC2\xA0", random() % 2);
    // 3 bytes for the first refused byte, 5 for each further one, the terminator.
    std::string list(text.empty() ? 3 : text.size() * 5 + 1, '#');
    numbers::CheckMoneyText(text.c_str(), &list[0], ".", ",");
    EXPECT_EQ(list.substr(list.size() - 2), "##");
    numbers::DisplayTextToDouble(text.c_str(), ',');
  }
}

}  // namespace
