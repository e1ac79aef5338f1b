// Bounded copies and assembly: within their room, and on double-byte code
// pages never cutting a character in two.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text/toolkit.h"
#include "text_test.h"

namespace {

using namespace text_testing;

TEST_F(BytePath, BoundedCopiesTakeAtMostTheMaximumAndTerminate) {
  GuardedA dest("", 4);
  EXPECT_EQ(lstrncpyA(dest.get(), "abcdef", 3), dest.get());
  EXPECT_EQ(dest.text(), "abc");
  lstrncpyA(dest.get(), "xy", 3);
  EXPECT_EQ(dest.text(), "xy");
  lstrncpyA(dest.get(), "xy", 0);
  EXPECT_EQ(dest.text(), "");
  EXPECT_TRUE(dest.GuardsIntact());

  GuardedW wide(OV_WIDE(""), 3);
  EXPECT_EQ(lstrncpyW(wide.get(), OV_WIDE("abcdef"), 2), wide.get());
  EXPECT_EQ(wide.text(), OV_WIDE("ab"));
  EXPECT_TRUE(wide.GuardsIntact());
}

TEST_F(BytePath, TruncationCutsAtTheMaximum) {
  std::string text = "abcdef";
  EXPECT_EQ(_tcstrunc(&text[0], 4), 4);
  EXPECT_STREQ(text.c_str(), "abcd");
  EXPECT_EQ(_tcstrunc(&text[0], 10), 4);
  EXPECT_EQ(_tcstrunc(&text[0], 0), 0);
  EXPECT_STREQ(text.c_str(), "");
}

TEST_F(BytePath, CopyTillStopsBeforeTheStopCharacter) {
  GuardedA dest("", 10);
  EXPECT_EQ(str_copy_till(dest.get(), "key=value", '='), 3);
  EXPECT_EQ(dest.text(), "key");
  EXPECT_EQ(str_copy_till(dest.get(), "novalue", '='), 7);
  EXPECT_EQ(dest.text(), "novalue");
  EXPECT_EQ(str_copy_till(dest.get(), "=x", '='), 0);
  EXPECT_EQ(dest.text(), "");
  EXPECT_TRUE(dest.GuardsIntact());
}

TEST_F(BytePath, PrefixGoesInFront) {
  GuardedA text("world", 12);
  str_cat_frontA(text.get(), "hello ");
  EXPECT_EQ(text.text(), "hello world");
  str_cat_frontA(text.get(), "");
  EXPECT_EQ(text.text(), "hello world");
  EXPECT_TRUE(text.GuardsIntact());
  GuardedW wide(OV_WIDE("b"), 3);
  str_cat_frontW(wide.get(), OV_WIDE("a"));
  EXPECT_EQ(wide.text(), OV_WIDE("ab"));
  EXPECT_TRUE(wide.GuardsIntact());
}

TEST_F(BytePath, FileNameIsTheLastPartUpToItsFirstDot) {
  auto fileName = [](const char* path) {
    GuardedA dest("", std::string(path).size() + 1);
    str_filename(dest.get(), path);
    EXPECT_TRUE(dest.GuardsIntact()) << path;
    return dest.text();
  };
  EXPECT_EQ(fileName("c:\\dir.x\\file.tar.gz"), "file");
  EXPECT_EQ(fileName("d:name"), "name");
  EXPECT_EQ(fileName("dir/file.txt"), "dir/file");  // a slash is no separator
  EXPECT_EQ(fileName("c:\\dir\\"), "");
  EXPECT_EQ(fileName(""), "");
}

TEST_F(Cp932Path, CopiesLeaveOutACharacterThatWouldCrossTheBound) {
  const std::string source = std::string("ab") + kHiraganaA + "c";
  GuardedA dest("", 4);
  lstrncpyA(dest.get(), source.c_str(), 3);
  EXPECT_EQ(dest.text(), "ab");
  EXPECT_TRUE(dest.GuardsIntact());
  GuardedA longer("", 5);
  text::DBCSlstrncpy(longer.get(), source.c_str(), 4);
  EXPECT_EQ(longer.text(), std::string("ab") + kHiraganaA);
  EXPECT_TRUE(longer.GuardsIntact());
  // A first character longer than the maximum gives the empty text.
  GuardedA none("", 2);
  text::DBCSlstrncpy(none.get(), kHiraganaA, 1);
  EXPECT_EQ(none.text(), "");
  EXPECT_TRUE(none.GuardsIntact());
}

TEST_F(Cp932Path, TruncationKeepsWholeCharactersWhateverTheFlag) {
  DoubleByteFlag off(0);
  std::string text = std::string("ab") + kHiraganaA;
  EXPECT_EQ(_tcstrunc(&text[0], 3), 2);
  EXPECT_STREQ(text.c_str(), "ab");
  text = kHiraganaA;
  EXPECT_EQ(_tcstrunc(&text[0], 1), 0);
  EXPECT_STREQ(text.c_str(), "");
}

TEST_F(Cp932Path, CopyTillNeverStopsAtATrailByte) {
  GuardedA dest("", 10);
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("a") + kHyou + "\\b").c_str(), '\\'), 3);
  EXPECT_EQ(dest.text(), std::string("a") + kHyou);
  // The stop character may itself be double-byte.
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("xy") + kHiraganaA + "z").c_str(), 0x82A0), 2);
  EXPECT_EQ(dest.text(), "xy");
  EXPECT_TRUE(dest.GuardsIntact());
}

}  // namespace
