// Profile reads. The same expectations hold for the real Windows functions
// (the Windows build) and the POSIX layer.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "platform/wide.h"
#include "support/test_support.h"

namespace {

using testing_support::ToUtf8;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(dir_ / "test.ini",
                                   "[First]\r\nname=one\r\n[Settings]\r\n  Spaced Key  =   spaced value   \r\n"
                                   "Long=abcdefghij\r\nQuoted=\"in quotes\"\r\nSingle='single'\r\nHalfQuoted=\"open\r\n"
                                   "Lone=\"\r\nEmpty=\r\nNegative=-12\r\nSigned=+7\r\nPadded=   42\r\n"
                                   "Trailing=15 apples\r\nWord=apples\r\nBig=4294967295\r\n");
    file_ = (dir_ / "test.ini").string();
  }
  std::string Read(const char* section, const char* key, const char* fallback, DWORD size = 64) {
    std::string buffer(size, '#');
    DWORD length = platform::GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, file_.c_str());
    EXPECT_EQ(length, std::string(buffer.c_str()).size());
    return buffer.c_str();
  }
  int ReadInt(const char* key, int fallback) {
    return static_cast<int>(platform::GetPrivateProfileIntA("Settings", key, fallback, file_.c_str()));
  }

  testing_support::TempDir dir_;
  std::string file_;
};

TEST_F(ProfileTest, ValuesAreFoundTrimmedUnquotedAndCut) {
  const struct {
    const char *section, *key, *fallback;
    DWORD size;
    const char* value;
  } reads[] = {
      {"settings", "LONG", "x", 64, "abcdefghij"},  // names compare without regard to case
      {"FIRST", "Name", "x", 64, "one"},
      {"Settings", "Spaced Key", "x", 64, "spaced value"},
      {"Settings", "Quoted", "x", 64, "in quotes"},
      {"Settings", "Single", "x", 64, "single"},
      {"Settings", "HalfQuoted", "x", 64, "\"open"},
      {"Settings", "Lone", "x", 64, "\""},
      {"Settings", "Empty", "fallback", 64, ""},
      {"Settings", "Absent", "fallback", 64, "fallback"},
      {"Nowhere", "Long", "fallback  ", 64, "fallback"},  // the default loses its trailing blanks
      {"Settings", "Absent", "  lead", 64, "  lead"},
      {"Settings", "Long", "x", 5, "abcd"},
      {"Settings", "Long", "x", 1, ""},
      {"Settings", "Absent", "fallback", 4, "fal"},
  };
  for (const auto& read : reads) {
    EXPECT_EQ(Read(read.section, read.key, read.fallback, read.size), read.value) << read.key << " " << read.size;
  }
  char buffer[32];
  std::string missing = (dir_ / "absent.ini").string();
  EXPECT_EQ(platform::GetPrivateProfileStringA("Settings", "Long", "dflt", buffer, 32, missing.c_str()), 4u);
  EXPECT_STREQ(buffer, "dflt");
}

TEST_F(ProfileTest, NullKeyListsTheSectionsKeysAsFarAsTheyFit) {
  char buffer[256];
  DWORD length = platform::GetPrivateProfileStringA("First", nullptr, "x", buffer, sizeof buffer, file_.c_str());
  ASSERT_EQ(length, 5u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("name\0\0", 6));
  WCHAR wide[5];  // one short for "name" and its two terminators
  const WideString file = WidenAscii(file_.c_str());
  EXPECT_EQ(platform::GetPrivateProfileStringW(OV_WIDE("First"), nullptr, OV_WIDE("x"), wide, 5, file.c_str()), 3u);
  EXPECT_EQ(WideString(wide, 5), WideString(OV_WIDE("nam\0\0"), 5));
}

TEST_F(ProfileTest, IntegersReadSignBlanksAndStopAtGarbage) {
  const std::pair<const char*, int> integers[] = {{"Negative", -12}, {"Signed", 7},   {"Padded", 42},
                                                  {"Trailing", 15},  {"Word", 0},     {"Big", -1},
                                                  {"Absent", 10000000}, {"Empty", 10000000}};
  for (const auto& [key, value] : integers) EXPECT_EQ(ReadInt(key, 10000000), value) << key;
}

}  // namespace
