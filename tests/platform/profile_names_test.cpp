// Blanks and tabs around section and key names, in the file and in the
// names asked for; the Windows build under Wine is the reference.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "support/test_support.h"

namespace {

struct NameCase {
  const char* section;
  const char* key;
  const char* expected;
};

TEST(ProfileNames, BlanksAndTabsAroundNamesDoNotCount) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "cv.ver",
                                 "[ VERSION ]\r\n"
                                 "Release = 7\r\n"
                                 "[\tTabbed\t]\r\n"
                                 "\t Key\t=\tvalue\t\r\n"
                                 " [Indented]\r\n"
                                 "  Padded Key  =  two \r\n"
                                 "[Inner Blank]\r\n"
                                 "In Key=inner\r\n");
  std::string file = (dir / "cv.ver").string();
  const NameCase cases[] = {
      {"VERSION", "Release", "7"},     {" VERSION ", "Release", "7"}, {"version", " Release\t", "7"},
      {"Tabbed", "Key", "value"},      {"\tTabbed", "Key", "value"},  {"Indented", "Padded Key", "two"},
      {"Inner Blank", "In Key", "inner"}, {"InnerBlank", "In Key", "-"}, {"Inner Blank", "InKey", "-"},
  };
  for (const NameCase& c : cases) {
    char buffer[32];
    platform::GetPrivateProfileStringA(c.section, c.key, "-", buffer, sizeof buffer, file.c_str());
    EXPECT_STREQ(buffer, c.expected) << "[" << c.section << "] " << c.key;
  }
  char keys[32];
  DWORD length = platform::GetPrivateProfileStringA("Tabbed", nullptr, "", keys, sizeof keys, file.c_str());
  EXPECT_EQ(std::string(keys, length), std::string("Key\0", 4));
}

}  // namespace
