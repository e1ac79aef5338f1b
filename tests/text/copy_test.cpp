// Bounded copies and assembly: within their room, and on double-byte code
// pages never cutting a character in two.

#include <string>

#include "ovpb32.h"
#include "platform/wide.h"
#include "text/toolkit.h"
#include "text_test.h"

namespace {

using namespace text_testing;

TEST_F(BytePath, CopiesTakeAtMostTheMaximumAndTerminate) {
  GuardedA dest("", 4);
  EXPECT_EQ(lstrncpyA(dest.get(), "abcdef", 3), dest.get());
  EXPECT_EQ(dest.text(), "abc");
  lstrncpyA(dest.get(), "xy", 0);
  EXPECT_EQ(dest.text(), "");
  EXPECT_EQ(str_copy_till(dest.get(), "k=v", '='), 1);
  EXPECT_EQ(dest.text(), "k");
  EXPECT_EQ(str_copy_till(dest.get(), "=x", '='), 0);
  EXPECT_EQ(str_copy_till(dest.get(), "abc", '='), 3);
  EXPECT_EQ(dest.text(), "abc");
  GuardedW wide(OV_WIDE(""), 3);
  lstrncpyW(wide.get(), OV_WIDE("abcdef"), 2);
  EXPECT_EQ(wide.text(), OV_WIDE("ab"));
  std::string text = "abcdef";
  EXPECT_EQ(_tcstrunc(&text[0], 4), 4);
  EXPECT_EQ(_tcstrunc(&text[0], 10), 4);
  EXPECT_STREQ(text.c_str(), "abcd");
}

TEST_F(BytePath, PrefixGoesInFrontAndFileNameIsTheLastPartUpToItsFirstDot) {
  GuardedA text("world", 12);
  str_cat_frontA(text.get(), "hello ");
  EXPECT_EQ(text.text(), "hello world");
  GuardedW wide(OV_WIDE("b"), 3);
  str_cat_frontW(wide.get(), OV_WIDE("a"));
  EXPECT_EQ(wide.text(), OV_WIDE("ab"));
  const std::pair<const char*, const char*> names[] = {
      {"c:\\dir.x\\file.tar.gz", "file"}, {"d:name", "name"}, {"dir/file.txt", "dir/file"}, {"c:\\dir\\", ""}};
  for (const auto& [path, name] : names) {
    GuardedA dest("", std::string(path).size() + 1);
    str_filename(dest.get(), path);
    EXPECT_EQ(dest.text(), name);
  }
}

TEST_F(Cp932Path, CopiesLeaveOutACharacterThatWouldCrossTheBoundOrStopAtATrailByte) {
  const std::string source = std::string("ab") + kHiraganaA + "c";
  GuardedA dest("", 5);
  lstrncpyA(dest.get(), source.c_str(), 3);
  EXPECT_EQ(dest.text(), "ab");
  text::DBCSlstrncpy(dest.get(), source.c_str(), 4);
  EXPECT_EQ(dest.text(), std::string("ab") + kHiraganaA);
  text::DBCSlstrncpy(dest.get(), kHiraganaA, 1);
  EXPECT_EQ(dest.text(), "");
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("a") + kHyou + "\\b").c_str(), '\\'), 3);
  EXPECT_EQ(dest.text(), std::string("a") + kHyou);
  // The stop character may itself be double-byte.
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("xy") + kHiraganaA + "z").c_str(), 0x82A0), 2);
  DoubleByteFlag off(0);  // truncation keeps whole characters whatever the flag
  std::string text = std::string("ab") + kHiraganaA;
  EXPECT_EQ(_tcstrunc(&text[0], 3), 2);
  EXPECT_STREQ(text.c_str(), "ab");
}

}  // namespace
