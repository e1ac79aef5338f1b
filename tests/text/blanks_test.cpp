// Trailing and leading blanks, padding and justification, and the blank,
// zero and digit tests.

#include <algorithm>
#include <cstring>
#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

std::string Trimmed(void (*trim)(char*), std::string text) {
  trim(&text[0]);
  return text.c_str();
}

TEST_F(BytePath, BlanksGoFromEitherEndButNotTabsOrInnerBlanks) {
  const std::pair<const char*, const char*> trailing[] = {
      {"abc  ", "abc"}, {"  ", ""}, {"", ""}, {"a b\t", "a b\t"}, {"a \t ", "a \t"}, {" a", " a"}};
  for (auto trim : {str_trimA, strtrm}) {
    for (const auto& [text, trimmed] : trailing) EXPECT_EQ(Trimmed(trim, text), trimmed) << text;
  }
  for (auto trim : {str_trim_leftA, strtrmlft}) {
    EXPECT_EQ(Trimmed(trim, "  a b "), "a b ");
    EXPECT_EQ(Trimmed(trim, "   "), "");
    EXPECT_EQ(Trimmed(trim, "\ta"), "\ta");
  }
  WideString wide = OV_WIDE("ab \u3000  ");
  str_trimW(&wide[0]);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("ab \u3000"));
  wide = OV_WIDE("  a b");
  str_trim_leftW(&wide[0]);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("a b"));
}

// Each in a buffer of exactly the room it needs.
TEST_F(BytePath, PaddingSpacesAndJustificationWriteWidthAndATerminatorAtMost) {
  using Apply = void (*)(char*, int);
  const Apply pad = [](char* text, int width) { str_pad(text, static_cast<unsigned>(width)); };
  const struct { Apply apply; const char* text; int width; const char* result; } cases[] = {
      {pad, "ab", 5, "ab   "},     {pad, "ab   ", 1, "ab   "},   {str_padA, "ab", -1, "ab"},  {str_padA, "", 2, "  "},
      {str_space, "ab", 3, "   "}, {str_space, "ab", 0, ""},    {str_justifyA, "ab", 5, "   ab"},
      {str_justifyA, "   ab", 3, "   ab"}};
  for (const auto& c : cases) {
    GuardedA text(c.text, std::max<size_t>(std::strlen(c.text), std::max(c.width, 0)) + 1);
    c.apply(text.get(), c.width);
    EXPECT_EQ(text.text(), c.result) << c.text << " " << c.width;
  }
  GuardedW wide(OV_WIDE("xy"), 5);
  str_justifyW(wide.get(), 4);
  EXPECT_EQ(wide.text(), OV_WIDE("  xy"));
}

TEST_F(BytePath, BlankZeroAndDigitTestsWithinTheLimit) {
  for (auto [text, limit, blank] : {std::tuple{"   x", 3, 1}, {"   x", 4, 0}, {"   x", -1, 0}, {"x", 0, 1}, {"", -1, 1},
                                    {"  ", -1, 1}, {" \t", -1, 0}}) {
    EXPECT_EQ(strblankA(text, limit), blank) << text << " " << limit;
  }
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 2), 1);
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 0xFFFFFFFFu), 0);
  for (const char* zero : {"", " ", "0", "0.00", " 0.0", ".", "00 "}) EXPECT_EQ(strzeroA(zero, -1), 1) << zero;
  for (const char* nonzero : {"0.01", "-0", "1", "0,0"}) EXPECT_EQ(strzeroA(nonzero, -1), 0) << nonzero;
  EXPECT_EQ(strzeroA("0.01", 3), 1);
  EXPECT_EQ(strzeroW(OV_WIDE(" 0.0"), 0xFFFFFFFFu), 1);
  EXPECT_EQ(strzeroW(OV_WIDE("0.5"), 0xFFFFFFFFu), 0);
  for (const char* digits : {"", "0123456789"}) EXPECT_EQ(strdigits(digits), 1);
  for (const char* other : {"12a", " 1", "\xb2"}) EXPECT_EQ(strdigits(other), 0);  // no superscripts in the C locale
}

TEST_F(Cp932Path, DoubleByteCharactersAreNeitherBlanksNorSingleBytes) {
  // The ideographic space is white space, but not a blank.
  const std::string ending = std::string("a") + kIdeographicSpace;
  EXPECT_EQ(Trimmed(str_trimA, ending + "  "), ending);
  EXPECT_EQ(Trimmed(str_trimA, "ab \x82"), "ab \x82");  // a lead byte before the terminator is a character
  EXPECT_EQ(Trimmed(str_trim_leftA, std::string("  ") + kHiraganaA), kHiraganaA);
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthZero + kFullwidthNine).c_str()), 1);
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthCapitalA).c_str()), 0);
  EXPECT_EQ(strblankA((std::string(" ") + kIdeographicSpace).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), 2), 1);
  // Widths count bytes.
  GuardedA padded(kHiraganaA, 5), justified(kHiraganaA, 5);
  str_pad(padded.get(), 4);
  EXPECT_EQ(padded.text(), std::string(kHiraganaA) + "  ");
  str_justifyA(justified.get(), 4);
  EXPECT_EQ(justified.text(), std::string("  ") + kHiraganaA);
}

}  // namespace
