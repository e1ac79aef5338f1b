// Removing characters: white space, separator runs, one character, the
// blanks inside masked fields.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

struct Result {
  std::string text;
  int length;
};

Result Apply(int (*remove)(char*), std::string text) {
  int length = remove(&text[0]);
  return {text.c_str(), length};
}

std::string TrimMask(void (*trim)(const char*, char*), const char* mask, std::string value) {
  trim(mask, &value[0]);
  return value.c_str();
}

TEST_F(BytePath, WhiteSpaceIsRemovedEverywhere) {
  Result r = Apply(strtrmspc, " a\tb c\r\n");
  EXPECT_EQ(r.text, "abc");
  EXPECT_EQ(r.length, 3);
  EXPECT_EQ(Apply(strtrmspc, "\v\f").length, 0);
  WideString wide = OV_WIDE(" a\u3000b\u00a0c ");
  EXPECT_EQ(wcstrmspc(&wide[0]), 3);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("abc"));
}

TEST_F(BytePath, SeparatorRunsShrinkToOneCharacter) {
  Result r = Apply(strtrmextra, "  Hello,  world!! ");
  EXPECT_EQ(r.text, "Hello,world");
  EXPECT_EQ(r.length, 11);
  EXPECT_EQ(Apply(strtrmextra, "a   b").text, "a b");
  EXPECT_EQ(Apply(strtrmextra, "a \tb").text, "a\tb");  // all white space: its last character
  EXPECT_EQ(Apply(strtrmextra, "a -+ b").text, "a-b");   // else its first other character
  EXPECT_EQ(Apply(strtrmextra, "--x").text, "x");
  EXPECT_EQ(Apply(strtrmextra, " ,; ").length, 0);
  WideString wide = OV_WIDE("\u00e9t\u00e9 \u3000 x ");  // letters beyond ASCII are alphanumeric
  EXPECT_EQ(wcstrmextra(&wide[0]), 5);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("\u00e9t\u00e9 x"));
}

TEST_F(BytePath, OneCharacterIsRemovedEverywhere) {
  std::string text = "a.b..c.";
  str_rid_charA(&text[0], '.');
  EXPECT_STREQ(text.c_str(), "abc");
  WideString wide = OV_WIDE("xax");
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
  const std::string space = kIdeographicSpace;
  const std::string a = kFullwidthCapitalA, b = kFullwidthCapitalB;
  Result r = Apply(strtrmspc, space + a + " " + b + space);
  EXPECT_EQ(r.text, a + b);
  EXPECT_EQ(r.length, 4);
  // Full-width letters are alphanumeric; the ideographic space separates.
  r = Apply(strtrmextra, space + a + space + space + b + ", " + space);
  EXPECT_EQ(r.text, a + space + b);
  EXPECT_EQ(r.length, 6);
  EXPECT_EQ(Apply(strtrmextra, kHalfwidthKatakanaA + std::string(" -") + kHiraganaA).text,
            kHalfwidthKatakanaA + std::string("-") + kHiraganaA);
  EXPECT_EQ(TrimMask(str_trim_mask, "99.99", space + "1." + space + "2" + space), "1.2");
}

TEST_F(Cp932Path, RemovingAByteAlsoRemovesItAsATrailByte) {
  std::string text = std::string("a") + kHyou + "\\b";
  str_rid_charA(&text[0], '\\');
  EXPECT_STREQ(text.c_str(), "a\x95" "b");
}

}  // namespace
