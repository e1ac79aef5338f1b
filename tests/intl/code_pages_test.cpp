// Character-set names and code pages.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "intl/intl.h"
#include "ovpb32.h"
#include "platform/locale.h"
#include "support/guarded_memory.h"

namespace {

std::string NameOf(int codePage) {
  char name[68] = {};
  EXPECT_EQ(GetCharSetFromCodePage(name, codePage), 1);
  return name;
}

std::string InCase(std::string text, int (*change)(int)) {
  for (char& c : text) c = static_cast<char>(change(static_cast<unsigned char>(c)));
  return text;
}

TEST(CharsetNames, EveryRowBothWaysInAnyCase) {
  size_t count = 0;
  const intl::CharsetRow* rows = intl::CharsetTable(&count);
  ASSERT_EQ(count, 111u);
  for (size_t i = 0; i < count; ++i) {
    // The first row of a code page names it; a name's last row gives its code page.
    if (i == 0 || rows[i - 1].codePage != rows[i].codePage) {
      EXPECT_EQ(NameOf(rows[i].codePage), rows[i].name);
    }
    int expected = rows[i].codePage;
    for (size_t later = i + 1; later < count; ++later) {
      if (InCase(rows[later].name, ::tolower) == InCase(rows[i].name, ::tolower)) expected = rows[later].codePage;
    }
    EXPECT_EQ(GetCodePageFromCharSetString(InCase(rows[i].name, ::toupper).c_str()), expected) << rows[i].name;
    EXPECT_EQ(GetCodePageFromCharSetString(InCase(rows[i].name, ::tolower).c_str()), expected) << rows[i].name;
  }
  EXPECT_EQ(GetCodePageFromCharSetString("ISO-2022-JP"), 50222);
}

TEST(CharsetNames, CodePagesWithoutARowAreWindowsNames) {
  for (int codePage : {1250, 1252, 1258, 1, -5, 65002, -2147483647 - 1}) {
    EXPECT_EQ(NameOf(codePage), "windows-" + std::to_string(codePage));
  }
}

TEST(CharsetNames, WindowsNamesAndUnknownNames) {
  const struct {
    const char* name;
    int codePage;
  } cases[] = {{"windows-", 0},      {"windows-4294967297", 1}, {"Windows-1250", 1250}, {"WINDOWS-874", 874},
               {"windows--5", -5},   {"latin1", 0},             {"utf-8", 65001},       {"no-such-charset", 0},
               {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(GetCodePageFromCharSetString(c.name), c.codePage) << c.name;
  EXPECT_EQ(GetCodePageFromCharSetString(nullptr), 0);
}

TEST(CharsetNames, NamesOfSixtyEightBytesOrMoreGiveNothing) {
  std::string longest = "windows-" + std::string(55, '0') + "1252";
  ASSERT_EQ(longest.size(), 67u);
  EXPECT_EQ(GetCodePageFromCharSetString(longest.c_str()), 1252);
  EXPECT_EQ(GetCodePageFromCharSetString(("windows-0" + longest.substr(8)).c_str()), 0);
  // Nothing is read past the terminator, nor past the 68th byte of a longer name.
  testing_support::GuardedText<char> atGuard(std::string("utf-8") + '\0');
  EXPECT_EQ(GetCodePageFromCharSetString(atGuard.get()), 65001);
  testing_support::GuardedText<char> unterminated(std::string(68, 'a'));
  EXPECT_EQ(GetCodePageFromCharSetString(unterminated.get()), 0);
}

TEST(CharsetNames, FontCharsetsGiveTheirAnsiCodePage) {
  const int table[][2] = {{0, 1252},   {2, 42},     {128, 932},  {129, 949},  {130, 1361}, {134, 936},
                          {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
                          {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
  for (int charset = 0; charset < 256; ++charset) {
#ifdef _WIN32
    if (charset == 254) continue;  // Wine adds a pair of its own for UTF-8
#endif
    UINT expected = 0;
    for (const auto& row : table) {
      if (row[0] == charset) expected = static_cast<UINT>(row[1]);
    }
    EXPECT_EQ(GetCodePageFromCharSet(static_cast<BYTE>(charset)), expected) << charset;
  }
}

}  // namespace
