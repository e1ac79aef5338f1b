#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "platform/wide.h"
#include "support/test_support.h"

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void Write(const std::string& contents) { testing_support::WriteTextFile(file_, contents); }
  std::string Read(const char* section, const char* key, const char* fallback, DWORD size = 64) {
    std::string buffer(size + 1, '#');
    DWORD length = platform::GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, file_.c_str());
    EXPECT_EQ(buffer[size], '#');
    EXPECT_EQ(length, std::string(buffer.c_str()).size());
    return buffer.c_str();
  }

  testing_support::TempDir dir_;
  std::string file_ = (dir_ / "cv.ver").string();
};

// Blanks and tabs around section and key names do not count; inside them they do.
TEST_F(ProfileTest, ValuesAreFoundTrimmedUnquotedAndCut) {
  Write("[First]\r\nname=one\r\n[Settings]\r\n  Spaced Key  =   spaced value   \r\nLong=abcdefghij\r\n"
        "Quoted=\"in quotes\"\r\nSingle='single'\r\nHalfQuoted=\"open\r\nLone=\"\r\nEmpty=\r\n"
        "[ VERSION ]\r\nRelease = 7\r\n[\tTabbed\t]\r\n\t Key\t=\tvalue\t\r\n"
        " [Indented]\r\n  Padded Key  =  two \r\n[Inner Blank]\r\nIn Key=inner\r\n");
  const struct {
    const char *section, *key, *fallback;
    DWORD size;
    const char* value;
  } reads[] = {
      {"settings", "LONG", "x", 64, "abcdefghij"},  // names compare without regard to case
      {"FIRST", "Name", "x", 64, "one"},              {"Settings", "Spaced Key", "x", 64, "spaced value"},
      {"Settings", "Quoted", "x", 64, "in quotes"},   {"Settings", "Single", "x", 64, "single"},
      {"Settings", "HalfQuoted", "x", 64, "\"open"},  {"Settings", "Lone", "x", 64, "\""},
      {"Settings", "Empty", "fallback", 64, ""},      {"Settings", "Absent", "fallback", 64, "fallback"},
      {"Nowhere", "Long", "fallback  ", 64, "fallback"},  // the default loses its trailing blanks
      {"Settings", "Absent", "  lead", 64, "  lead"}, {"Settings", "Long", "x", 5, "abcd"},
      {"Settings", "Long", "x", 1, ""},               {"Settings", "Absent", "fallback", 4, "fal"},
      {"VERSION", "Release", "-", 64, "7"},           {" VERSION ", "Release", "-", 64, "7"},
      {"version", " Release\t", "-", 64, "7"},        {"\tTabbed", "Key", "-", 64, "value"},
      {"Indented", "Padded Key", "-", 64, "two"},     {"Inner Blank", "In Key", "-", 64, "inner"},
      {"InnerBlank", "In Key", "-", 64, "-"},          {"Inner Blank", "InKey", "-", 64, "-"},
  };
  for (const auto& read : reads) {
    EXPECT_EQ(Read(read.section, read.key, read.fallback, read.size), read.value)
        << "[" << read.section << "] " << read.key << " " << read.size;
  }
  char buffer[32];
  std::string missing = (dir_ / "absent.ini").string();
  EXPECT_EQ(platform::GetPrivateProfileStringA("Settings", "Long", "dflt", buffer, 32, missing.c_str()), 4u);
  EXPECT_STREQ(buffer, "dflt");
}

// A null key lists the section's keys, each ended by a zero and the list by
// one more, as far as they fit; a cut before an empty name stays in its room.
TEST_F(ProfileTest, NullKeyListsTheSectionsKeysAsFarAsTheyFit) {
  Write("[First]\r\nname=one\r\n[s]\r\nab=1\r\n=2\r\n");
  char buffer[256];
  DWORD length = platform::GetPrivateProfileStringA("First", nullptr, "x", buffer, sizeof buffer, file_.c_str());
  ASSERT_EQ(length, 5u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("name\0\0", 6));
  WCHAR wide[5];  // one short for "name" and its two terminators
  const WideString file = WidenAscii(file_.c_str());
  EXPECT_EQ(platform::GetPrivateProfileStringW(OV_WIDE("First"), nullptr, OV_WIDE("x"), wide, 5, file.c_str()), 3u);
  EXPECT_EQ(WideString(wide, 5), WideString(OV_WIDE("nam\0\0"), 5));
  char room[5] = {'#', '#', '#', '#', '#'};
  EXPECT_LE(platform::GetPrivateProfileStringA("s", nullptr, "", room, 4, file_.c_str()), 2u);
  EXPECT_EQ(room[4], '#');
}

TEST_F(ProfileTest, IntegersReadSignBlanksAndStopAtGarbage) {
  Write("[Settings]\r\nNegative=-12\r\nSigned=+7\r\nPadded=   42\r\nTrailing=15 apples\r\nWord=apples\r\n"
        "Big=4294967295\r\nEmpty=\r\n");
  const std::pair<const char*, int> integers[] = {{"Negative", -12}, {"Signed", 7},       {"Padded", 42},
                                                  {"Trailing", 15},  {"Word", 0},         {"Big", -1},
                                                  {"Absent", 10000000}, {"Empty", 10000000}};
  for (const auto& [key, value] : integers) {
    EXPECT_EQ(static_cast<int>(platform::GetPrivateProfileIntA("Settings", key, 10000000, file_.c_str())), value) << key;
  }
}

}  // namespace
