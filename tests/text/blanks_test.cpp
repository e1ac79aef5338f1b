// Trailing and leading blanks.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using text_testing::BytePath;
using text_testing::Cp932Path;
using text_testing::kHiraganaA;
using text_testing::kIdeographicSpace;

std::string Trimmed(void (*trim)(char*), std::string text) {
  trim(&text[0]);
  return text.c_str();
}

WideString TrimmedW(void (*trim)(WCHAR*), WideString text) {
  trim(&text[0]);
  return text.c_str();
}

TEST_F(BytePath, TrailingBlanksGoButNotTabsOrInnerBlanks) {
  for (auto trim : {str_trimA, strtrm}) {
    EXPECT_EQ(Trimmed(trim, "abc  "), "abc");
    EXPECT_EQ(Trimmed(trim, "  "), "");
    EXPECT_EQ(Trimmed(trim, ""), "");
    EXPECT_EQ(Trimmed(trim, "a b\t"), "a b\t");
    EXPECT_EQ(Trimmed(trim, "a \t "), "a \t");
    EXPECT_EQ(Trimmed(trim, " a"), " a");
  }
  EXPECT_EQ(TrimmedW(str_trimW, OV_WIDE("ab \u3000  ")), OV_WIDE("ab \u3000"));
}

TEST_F(BytePath, TrimmedLengthLooksAtTheMaximumOnly) {
  EXPECT_EQ(strtrmlenA("ab  cd  ", 8), 6);
  EXPECT_EQ(strtrmlenA("ab  cd  ", 4), 2);
  EXPECT_EQ(strtrmlenA("ab  cd  ", 0), 0);
  EXPECT_EQ(strtrmlenA("ab  cd  ", -3), 0);
  EXPECT_EQ(strtrmlenA("ab ", 50), 2);  // the terminator ends it first
  EXPECT_EQ(strtrmlenW(OV_WIDE("ab  cd  "), 5), 5);
}

TEST_F(BytePath, LeadingBlanksGoAndTheRestMovesToTheFront) {
  for (auto trim : {str_trim_leftA, strtrmlft}) {
    EXPECT_EQ(Trimmed(trim, "  a b "), "a b ");
    EXPECT_EQ(Trimmed(trim, "   "), "");
    EXPECT_EQ(Trimmed(trim, "\ta"), "\ta");
  }
  EXPECT_EQ(TrimmedW(str_trim_leftW, OV_WIDE("  a b")), OV_WIDE("a b"));
}

TEST_F(BytePath, LeftStartStaysWithinTheLength) {
  const char text[] = "   x";
  unsigned remaining = 99;
  EXPECT_EQ(strtrmleftstartA(text, 2, &remaining), text + 2);
  EXPECT_EQ(remaining, 0u);
  EXPECT_EQ(strtrmleftstartA(text, 4, &remaining), text + 3);
  EXPECT_EQ(remaining, 1u);
  EXPECT_EQ(strtrmleftstartA(text, 10, nullptr), text + 3);
  const WCHAR wide[] = OV_WIDE("  yz");
  EXPECT_EQ(strtrmleftstartW(wide, 4, &remaining), wide + 2);
  EXPECT_EQ(remaining, 2u);
}

TEST_F(Cp932Path, TrailingBlanksStopAtDoubleByteCharacters) {
  // The ideographic space is white space, but not a blank.
  const std::string ending = std::string("a") + kIdeographicSpace;
  EXPECT_EQ(Trimmed(str_trimA, ending + "  "), ending);
  EXPECT_EQ(Trimmed(str_trimA, std::string(kHiraganaA) + " " + kHiraganaA + "   "),
            std::string(kHiraganaA) + " " + kHiraganaA);
  // A lead byte before the terminator is a character of its own.
  EXPECT_EQ(Trimmed(str_trimA, "ab \x82"), "ab \x82");
  EXPECT_EQ(Trimmed(str_trim_leftA, std::string("  ") + kHiraganaA), kHiraganaA);
}

}  // namespace
