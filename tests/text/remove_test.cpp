// Removing characters: white space, separator runs, one character, the
// blanks inside masked fields.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

// The text after removal, and the length returned, as "text|length".
std::string Apply(int (*remove)(char*), std::string text) {
  int length = remove(&text[0]);
  return std::string(text.c_str()) + "|" + std::to_string(length);
}

std::string TrimMask(void (*trim)(const char*, char*), const char* mask, std::string value) {
  trim(mask, &value[0]);
  return value.c_str();
}

TEST_F(BytePath, WhiteSpaceGoesAndSeparatorRunsShrinkToOneCharacter) {
  EXPECT_EQ(Apply(strtrmspc, " a\tb c\r\n"), "abc|3");
  EXPECT_EQ(Apply(strtrmspc, "\v\f"), "|0");
  const std::pair<const char*, const char*> runs[] = {
      {"  Hello,  world!! ", "Hello,world|11"}, {"a   b", "a b|3"},
      {"a \tb", "a\tb|3"},  // all white space: its last character
      {"a -+ b", "a-b|3"},  // else its first other character
      {"--x", "x|1"},       {" ,; ", "|0"}};
  for (const auto& [text, result] : runs) EXPECT_EQ(Apply(strtrmextra, text), result) << text;
  WideString wide = OV_WIDE(" a\u3000b\u00a0c ");
  EXPECT_EQ(wcstrmspc(&wide[0]), 3);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("abc"));
  wide = OV_WIDE("\u00e9t\u00e9 \u3000 x ");  // letters beyond ASCII are alphanumeric
  EXPECT_EQ(wcstrmextra(&wide[0]), 5);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("\u00e9t\u00e9 x"));
  std::string text = "a.b..c.";
  str_rid_charA(&text[0], '.');
  EXPECT_STREQ(text.c_str(), "abc");
  wide = OV_WIDE("xax");
  str_rid_charW(&wide[0], u'x');
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("a"));
}

TEST_F(BytePath, MaskedFieldsLoseTheirLeadingAndTheValueItsTrailingWhiteSpace) {
  for (auto trim : {str_trim_mask, DBCSstr_trim_mask}) {
    EXPECT_EQ(TrimMask(trim, "99.99.9999", " 1. 2.2016 "), "1.2.2016");
    // Past the mask's fields everything stays but the trailing white space.
    EXPECT_EQ(TrimMask(trim, "99", " 1. 2"), "1. 2");
    EXPECT_EQ(TrimMask(trim, "9.9", "1 2 . 3 \t "), "1 2 .3");
    EXPECT_EQ(TrimMask(trim, "", "   "), "");
  }
}

TEST_F(Cp932Path, DoubleByteCharactersAreClassifiedWhole) {
  const std::string space = kIdeographicSpace, a = kFullwidthCapitalA, b = kFullwidthCapitalB;
  EXPECT_EQ(Apply(strtrmspc, space + a + " " + b + space), a + b + "|4");
  // Full-width letters are alphanumeric; the ideographic space separates.
  EXPECT_EQ(Apply(strtrmextra, space + a + space + space + b + ", " + space), a + space + b + "|6");
  EXPECT_EQ(Apply(strtrmextra, kHalfwidthKatakanaA + std::string(" -") + kHiraganaA),
            kHalfwidthKatakanaA + std::string("-") + kHiraganaA + "|4");
  EXPECT_EQ(TrimMask(str_trim_mask, "99.99", space + "1." + space + "2" + space), "1.2");
  std::string text = std::string("a") + kHyou + "\\b";  // removing a byte also removes it as a trail byte
  str_rid_charA(&text[0], '\\');
  EXPECT_STREQ(text.c_str(), "a\x95" "b");
}

}  // namespace
