// Blank, zero and digit tests.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text_test.h"

namespace {

using namespace text_testing;

TEST_F(BytePath, BlankWithinTheLimit) {
  EXPECT_EQ(strblankA("   x", 3), 1);
  EXPECT_EQ(strblankA("   x", 4), 0);
  EXPECT_EQ(strblankA("   x", -1), 0);
  EXPECT_EQ(strblankA("x", 0), 1);
  EXPECT_EQ(strblankA("", -1), 1);
  EXPECT_EQ(strblankA("  ", -1), 1);
  EXPECT_EQ(strblankA(" \t", -1), 0);
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 2), 1);
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 0xFFFFFFFFu), 0);
  EXPECT_EQ(strblankW(OV_WIDE("  "), 0xFFFFFFFFu), 1);
}

TEST_F(BytePath, ZeroIsBlanksZerosAndDots) {
  for (const char* zero : {"", " ", "0", "0.00", " 0.0", ".", "00 "}) EXPECT_EQ(strzeroA(zero, -1), 1) << zero;
  for (const char* nonzero : {"0.01", "-0", "1", "0,0"}) EXPECT_EQ(strzeroA(nonzero, -1), 0) << nonzero;
  EXPECT_EQ(strzeroA("0.01", 3), 1);
  EXPECT_EQ(strzeroW(OV_WIDE(" 0.0"), 0xFFFFFFFFu), 1);
  EXPECT_EQ(strzeroW(OV_WIDE("0.5"), 0xFFFFFFFFu), 0);
}

TEST_F(BytePath, DigitsOnly) {
  EXPECT_EQ(strdigits(""), 1);
  EXPECT_EQ(strdigits("0123456789"), 1);
  EXPECT_EQ(strdigits("12a"), 0);
  EXPECT_EQ(strdigits(" 1"), 0);
  EXPECT_EQ(strdigits("\xb2"), 0);  // no superscript digits in the C locale
}

TEST_F(Cp932Path, DoubleByteDigitsAreDigitsAndDoubleByteSpacesNotBlanks) {
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthZero + kFullwidthNine).c_str()), 1);
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthCapitalA).c_str()), 0);
  EXPECT_EQ(strblankA((std::string(" ") + kIdeographicSpace).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), 2), 1);
}

}  // namespace
