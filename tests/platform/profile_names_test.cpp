// Blanks and tabs around section and key names, in the file and in the
// names asked for; the Windows build under Wine is the reference.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "support/test_support.h"

namespace {

TEST(ProfileNames, BlanksAndTabsAroundNamesDoNotCount) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "cv.ver",
                                 "[ VERSION ]\r\nRelease = 7\r\n[\tTabbed\t]\r\n\t Key\t=\tvalue\t\r\n"
                                 " [Indented]\r\n  Padded Key  =  two \r\n[Inner Blank]\r\nIn Key=inner\r\n");
  std::string file = (dir / "cv.ver").string();
  const struct { const char *section, *key, *expected; } cases[] = {
      {"VERSION", "Release", "7"},     {" VERSION ", "Release", "7"}, {"version", " Release\t", "7"},
      {"Tabbed", "Key", "value"},      {"\tTabbed", "Key", "value"},  {"Indented", "Padded Key", "two"},
      {"Inner Blank", "In Key", "inner"}, {"InnerBlank", "In Key", "-"}, {"Inner Blank", "InKey", "-"},
  };
  for (const auto& c : cases) {
    char buffer[32];
    platform::GetPrivateProfileStringA(c.section, c.key, "-", buffer, sizeof buffer, file.c_str());
    EXPECT_STREQ(buffer, c.expected) << "[" << c.section << "] " << c.key;
  }
}

// A key list cut just before an empty key name keeps inside the buffer.
TEST(ProfileNames, KeyListEndingInAnEmptyNameStaysInItsRoom) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "cv.ver", "[s]\r\nab=1\r\n=2\r\n");
  char buffer[5] = {'#', '#', '#', '#', '#'};
  DWORD length = platform::GetPrivateProfileStringA("s", nullptr, "", buffer, 4, (dir / "cv.ver").string().c_str());
  EXPECT_LE(length, 2u);
  EXPECT_EQ(buffer[4], '#');
}
}  // namespace
